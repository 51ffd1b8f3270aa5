#include "db/backend_support.h"
#include "db/sqlite/sqlite_fit.h"
#include "db/sqlite/sqlite_internal.h"

namespace vx::db::sqlite {
namespace {

class SqliteConnection final : public Connection {
  public:
    explicit SqliteConnection(QString folder) : folder_(std::move(folder)) {}

    bool open(const Login& login) override {
        db_.reset();
        numbers_ = NumberColumns();
        fits_ = TableFits();
        db_ = openDatabase(databaseFile(folder_, login.database), false, error_);
        return db_ != nullptr;
    }

    int state() const override { return db_ ? 1 : 0; }

    std::optional<long> execute(const QString& sql) override {
        if (!connected())
            return std::nullopt;
        const Translated t = translateHere(sql);
        if (t.kind == Translated::Kind::AlterColumn) {
            if (!rebuildTable(db_->db, t, error_))
                return std::nullopt;
            error_ = DbError();
            return -1;
        }
        return run(t.sql);
    }

    std::unique_ptr<Recordset> openRecordset(const QString& sql) override {
        if (!connected())
            return nullptr;
        const Translated t = translateHere(sql);
        if (t.kind != Translated::Kind::Statement) {
            error_ = engineError(QStringLiteral("The statement returns no rows."));
            return nullptr;
        }
        return sqlite::openRecordset(db_, t.sql, error_);
    }

    DbError lastError() const override { return error_; }
    Catalogue catalogue() const override { return Catalogue::SQLite; }

  private:
    Translated translateHere(const QString& sql) {
        numbers_.refresh(db_->db);
        fits_.refresh(numbers_.version());
        return translate(
            sql, Dialect::SQLite, [this](const QString& name) { return numbers_.contains(name); },
            [this](const QString& table) { return fits_.find(db_->db, table); });
    }

    bool connected() {
        if (db_)
            return true;
        error_ = engineError(QStringLiteral("The connection is not open."));
        return false;
    }

    // Runs every statement of `sql`; the rows the data-changing ones affected, -1 when there
    // was none.
    std::optional<long> run(const QString& sql) {
        const QByteArray utf8 = sql.toUtf8();
        const char* p = utf8.constData();
        const char* const end = p + utf8.size();
        bool changing = false;
        long affected = 0;
        while (p < end) {
            sqlite3_stmt* raw = nullptr;
            const char* tail = nullptr;
            if (sqlite3_prepare_v2(db_->db, p, static_cast<int>(end - p), &raw, &tail) !=
                SQLITE_OK) {
                error_ = errorOf(db_->db);
                return std::nullopt;
            }
            p = tail;
            if (!raw)
                continue; // blanks or a comment
            Statement st(raw);
            if (!runToEnd(db_->db, raw, error_))
                return std::nullopt;
            if (changesRows(QString::fromUtf8(sqlite3_sql(raw)))) {
                changing = true;
                affected += sqlite3_changes(db_->db);
            }
        }
        error_ = DbError();
        return changing ? affected : -1;
    }

    QString folder_;
    SharedDatabase db_;
    NumberColumns numbers_;
    TableFits fits_;
    DbError error_;
};

} // namespace

std::unique_ptr<Connection> makeConnection(const QString& folder) {
    return std::make_unique<SqliteConnection>(folder);
}

} // namespace vx::db::sqlite
