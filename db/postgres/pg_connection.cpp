#include "db/backend_support.h"
#include "db/dialect.h"
#include "db/postgres/pg_internal.h"
#include "db/server_watch.h"

namespace vx::db::pg {
namespace {

class PgConnection final : public Connection {
  public:
    explicit PgConnection(QString server) : server_(std::move(server)) {}

    bool open(const Login& login) override {
        session_.reset();
        session_ = connectTo(server_, login, login.database, error_);
        return session_ != nullptr;
    }

    int state() const override { return session_ && session_->ok() ? 1 : 0; }

    std::optional<long> execute(const QString& sql) override {
        if (!connected())
            return std::nullopt;
        const Translated t = translate(sql, Dialect::PostgreSQL);
        QString statement = t.sql;
        if (t.kind == Translated::Kind::AlterColumn)
            statement = QStringLiteral("ALTER TABLE %1 ALTER COLUMN %2 TYPE %3 USING %2::%3")
                            .arg(t.table, t.column, t.type);
        const Result r = exec(session_->conn.get(), statement, error_);
        if (!r)
            return std::nullopt;
        error_ = DbError();
        const QByteArray count = PQcmdTuples(r.get());
        if (PQresultStatus(r.get()) == PGRES_TUPLES_OK || count.isEmpty())
            return -1;
        return count.toLong();
    }

    std::unique_ptr<Recordset> openRecordset(const QString& sql) override {
        if (!connected())
            return nullptr;
        const Translated t = translate(sql, Dialect::PostgreSQL);
        if (t.kind != Translated::Kind::Statement) {
            error_ = engineError(QStringLiteral("The statement returns no rows."));
            return nullptr;
        }
        return pg::openRecordset(session_, t.sql, error_);
    }

    DbError lastError() const override { return error_; }
    Catalogue catalogue() const override { return Catalogue::PostgreSQL; }

  private:
    bool connected() {
        if (state() == 1)
            return true;
        if (!session_ || !session_->conn) {
            error_ = engineError(QStringLiteral("The connection is not open."));
            return false;
        }
        QString why = QString::fromUtf8(PQerrorMessage(session_->conn.get())).simplified();
        if (why.isEmpty())
            why = QStringLiteral("it is closed.");
        error_ = serverFailure(shownServer(session_->conn.get()), true, engineError(why));
        return false;
    }

    QString server_;
    SharedSession session_;
    DbError error_;
};

} // namespace

std::unique_ptr<Connection> makeConnection(const QString& server) {
    return std::make_unique<PgConnection>(server);
}

} // namespace vx::db::pg
