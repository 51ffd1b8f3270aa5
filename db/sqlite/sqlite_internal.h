#pragma once
// Shared by the SQLite backend's files: the open database handle, statements, error mapping and
// the value rules of declared column types.

#include "db/dialect.h"
#include "db/engine.h"

#include <QSet>
#include <memory>
#include <sqlite3.h>

namespace vx::db::sqlite {

// An open database. Recordsets share it with their connection, so it lives as long as either.
struct Database {
    sqlite3* db = nullptr;
    Database() = default;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database() { sqlite3_close_v2(db); }
};
using SharedDatabase = std::shared_ptr<Database>;

struct StatementDeleter {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

// The file of database `name` in `folder`.
QString databaseFile(const QString& folder, const QString& name);
// Opens an existing database file (never creates one) and checks that it is a database.
SharedDatabase openDatabase(const QString& path, bool readOnly, DbError& error);

// The error of the last failing call on `db`: "no such table" becomes error 3078.
DbError errorOf(sqlite3* db);
// Prepares the first statement of `sql`; nullptr (error set) on failure.
Statement prepare(sqlite3* db, const QString& sql, DbError& error);
// Runs a prepared statement to its end; false (error set) on failure.
bool runToEnd(sqlite3* db, sqlite3_stmt* st, DbError& error);
void bindValue(sqlite3_stmt* st, int index, const DbValue& v);
void bindText(sqlite3_stmt* st, int index, const QString& text);
QString columnText(sqlite3_stmt* st, int column);
// "name" quoted as an SQL identifier.
QString quoted(const QString& name);

// How a declared column type shapes the values read from it.
struct ColumnRule {
    enum class Kind { Native, Char, Decimal, Integer, Real };
    Kind kind = Kind::Native;
    int size = 0; // CHAR length or DECIMAL scale
};
ColumnRule ruleFor(const char* declaredType);
// Column `column` of the current row, shaped by its rule.
DbValue columnValue(sqlite3_stmt* st, int column, const ColumnRule& rule);
// A value written into a column of that rule, as it would read back.
DbValue asColumn(const DbValue& v, const ColumnRule& rule);

std::unique_ptr<Recordset> openRecordset(const SharedDatabase& db, const QString& sql,
                                         DbError& error);
// Changes a column's type by rebuilding its table: "ALTER TABLE t ALTER COLUMN c type".
bool rebuildTable(sqlite3* db, const Translated& alter, DbError& error);

// The column names that are number columns in every table of a database, for the dialect:
// a text literal compared with one needs no collation, which lets the comparison use the
// column's index. Re-read whenever the schema changes.
class NumberColumns {
  public:
    // Re-reads the names when the schema of `db` changed since the last call.
    void refresh(sqlite3* db);
    bool contains(const QString& name) const;
    // The schema version the names were read at; -1 when it could not be read.
    int version() const { return version_; }

  private:
    void load(sqlite3* db);
    int version_ = -1;
    QSet<QString> numbers_;
};

std::unique_ptr<Connection> makeConnection(const QString& folder);

} // namespace vx::db::sqlite
