#pragma once
// The database engine interface of the record manager: a connection that executes statements,
// recordsets that stream the rows of a query, and a server object for the start-up checks. One
// backend per engine implements it (db/sqlite, db/postgres, db/odbc); the "Server" setting
// chooses it.
//
// Every statement reaches a backend in the suite's SQL dialect, exactly as the record manager
// built it; the backend rewrites it for its engine (db/dialect.h) just before executing it.
//
// Value rules every backend keeps, whatever its engine does natively:
//  - CHAR(n) values read back padded with blanks to n characters, and compare ignoring trailing
//    blanks (in WHERE, ORDER BY and index uniqueness);
//  - DECIMAL(p,s) values read back with s decimals (bare DECIMAL: whole numbers);
//  - table and column names compare case-insensitively;
//  - a statement naming a missing table fails with error 3078 and a description starting
//    "Invalid object name".
// No method throws; failures return false / nullptr / nullopt and leave lastError() set.

#include "db/value.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

namespace vx::db {

struct DbError {
    long number = 0; // 0: no error
    QString description;
};

constexpr long kErrInvalidObject = 3078; // a statement names a missing table
constexpr long kErrEngine = -2147217900; // any other failure the engine reports

// One row of a scan, as the engine holds it; valid only while the visit that receives it runs.
class RowView {
  public:
    virtual ~RowView() = default;
    // The column's value, exactly as Recordset::value() gives it.
    virtual DbValue value(int index) const = 0;
    // A text column's bytes in UTF-8 without any conversion: CHAR values may or may not carry
    // their padding, so callers compare them without trailing blanks. NULL reads as empty.
    // Meant for text columns; a number column's bytes are whatever its engine has at hand.
    virtual std::string_view utf8(int index) const = 0;
};

// Called for each row of a scan; false stops the scan after that row.
using RowVisitor = std::function<bool(const RowView&)>;

// A query's rows, read forward as the engine delivers them; the current row is held in memory,
// later rows are fetched as the caller moves. Contract:
//  - after open, BOF and EOF are both true when there are no rows, otherwise the first row is
//    current;
//  - recordCount() is exact; for a query still streaming it reads ahead to the end (cheap for the
//    one-row reads of the record manager; the report walks large results without asking);
//  - setValue() changes the current row's buffer; update() writes the changed fields into the
//    row the current row was read from; deleteCurrent() deletes that row. Both need a query on
//    one table ("SELECT ... FROM T ..."); otherwise they fail.
class Recordset {
  public:
    virtual ~Recordset() = default;
    virtual bool bof() const = 0;
    virtual bool eof() const = 0;
    virtual long recordCount() = 0;
    virtual bool moveFirst() = 0;
    virtual bool moveNext() = 0;
    virtual int fieldCount() const = 0;
    virtual QString fieldName(int index) const = 0;
    // The ordinal of a column, compared ignoring case; -1 when there is none.
    virtual int fieldIndex(const QString& name) const = 0;
    virtual DbValue value(int index) const = 0;
    virtual void setValue(int index, const DbValue& v) = 0;
    virtual bool update() = 0;
    virtual bool deleteCurrent() = 0;
    virtual DbError lastError() const = 0;
    // Walks the rows from the current one, handing each to `visit` without converting the
    // columns it does not ask for: the way to read a long result at the engine's own pace.
    // Afterwards the recordset is at EOF, or when `visit` stopped it, on the row after that
    // visit's. False when the engine failed part way (lastError() says why).
    virtual bool scan(const RowVisitor& visit);
};

// Whose catalogue a connection reads to learn a table's columns and what depends on them.
enum class Catalogue { None, SQLite, PostgreSQL, SqlServer };

struct Login {
    QString server;   // the "Server" setting
    QString database; // the database name
    QString user;
    QString password;
};

class Connection {
  public:
    virtual ~Connection() = default;
    virtual bool open(const Login& login) = 0;
    // 1 while open, 0 otherwise.
    virtual int state() const = 0;
    // Runs one statement; the rows it affected (-1 for a statement that affects no rows, such as
    // CREATE or ALTER), nullopt on failure.
    virtual std::optional<long> execute(const QString& sql) = 0;
    virtual std::unique_ptr<Recordset> openRecordset(const QString& sql) = 0;
    virtual DbError lastError() const = 0;
    // The catalogue the open connection can read (db/schema_catalogue.h asks it); None when its
    // engine is not known, and changes to tables then run without a look first.
    virtual Catalogue catalogue() const { return Catalogue::None; }
};

// The management side: is the server there, which databases and tables does it hold.
class Server {
  public:
    virtual ~Server() = default;
    // Connects with a login; the status: 1 running, anything else not.
    virtual int connect(const Login& login) = 0;
    virtual int status() const = 0;
    // The server's databases, without its system databases.
    virtual std::optional<QStringList> databases() = 0;
    // The tables of one database, without system tables.
    virtual std::optional<QStringList> tables(const QString& database) = 0;
    // The machine the server runs on.
    virtual QString machine() const = 0;
    // Makes the empty database `name` (a plain name: letters, digits, '_'), for the tools that
    // prepare stores; the report itself never creates a database. An existing one is an error,
    // unless `replace`: then it is dropped first, whoever uses it. Needs a connect() first.
    virtual bool createDatabase(const QString& name, bool replace) = 0;
    virtual DbError lastError() const = 0;
};

// The backend chosen by a "Server" setting: "sqlite:" + folder (alone: the data path),
// "postgresql://host[:port][?host=/socket/dir]", "odbc:" + a DSN or a connection string, and
// anything else a SQL Server as the suite names it ("machine\instance", "machine",
// "machine,port"), reached through ODBC.
class Engine {
  public:
    virtual ~Engine() = default;
    virtual std::unique_ptr<Connection> connection() = 0;
    virtual std::unique_ptr<Server> server() = 0;
};

// `dataPath` is the folder "sqlite:" alone stands for. nullptr for a blank setting or one that
// names no server.
std::unique_ptr<Engine> engineFor(const QString& serverSetting, const QString& dataPath);

} // namespace vx::db
