#include "db/postgres/pg_engine.h"

#include "db/backend_support.h"
#include "db/postgres/pg_internal.h"

namespace vx::db {
namespace {

// The management side: a login on the server's maintenance database "postgres".
class PgServer final : public Server {
  public:
    explicit PgServer(QString server) : server_(std::move(server)) {}

    int connect(const Login& login) override {
        login_ = login;
        session_ = pg::connectTo(server_, login, QStringLiteral("postgres"), error_);
        return status();
    }

    int status() const override { return session_ && session_->ok() ? 1 : 0; }

    std::optional<QStringList> databases() override {
        if (status() != 1) {
            error_ = engineError(QStringLiteral("Not connected to the server."));
            return std::nullopt;
        }
        return names(*session_, QStringLiteral("SELECT datname FROM pg_database WHERE NOT "
                                               "datistemplate AND datname <> 'postgres' "
                                               "ORDER BY datname"));
    }

    std::optional<QStringList> tables(const QString& database) override {
        if (status() != 1) {
            error_ = engineError(QStringLiteral("Not connected to the server."));
            return std::nullopt;
        }
        const pg::SharedSession db = pg::connectTo(server_, login_, database, error_);
        if (!db)
            return std::nullopt;
        return names(*db, QStringLiteral("SELECT tablename FROM pg_tables WHERE schemaname = "
                                         "'public' ORDER BY tablename"));
    }

    QString machine() const override {
        QString problem;
        const auto address = pg::parseAddress(server_, problem);
        return address ? address->machine : QString();
    }

    DbError lastError() const override { return error_; }

    // The name quoted keeps its case: the report connects with it as it is written.
    bool createDatabase(const QString& name, bool replace) override {
        if (status() != 1) {
            error_ = engineError(QStringLiteral("Not connected to the server."));
            return false;
        }
        PGconn* c = session_->conn.get();
        const pg::Result found =
            pg::execParams(c, QStringLiteral("SELECT 1 FROM pg_database WHERE datname = $1"),
                           {name.toUtf8()}, error_);
        if (!found)
            return false;
        const QString quoted = u'"' + QString(name).replace(u'"', QLatin1String("\"\"")) + u'"';
        if (PQntuples(found.get()) > 0) {
            if (!replace) {
                error_ = engineError(QStringLiteral("The database %1 already exists.").arg(name));
                return false;
            }
            if (!pg::exec(c, QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(quoted), error_))
                return false;
        }
        return pg::exec(c, QStringLiteral("CREATE DATABASE ") + quoted, error_) != nullptr;
    }

  private:
    std::optional<QStringList> names(pg::Session& s, const QString& sql) {
        const pg::Result r = pg::exec(s.conn.get(), sql, error_);
        if (!r)
            return std::nullopt;
        QStringList out;
        for (int i = 0; i < PQntuples(r.get()); ++i)
            out << QString::fromUtf8(PQgetvalue(r.get(), i, 0));
        error_ = DbError();
        return out;
    }

    QString server_;
    Login login_;
    pg::SharedSession session_;
    DbError error_;
};

class PgEngine final : public Engine {
  public:
    explicit PgEngine(QString server) : server_(std::move(server)) {}
    std::unique_ptr<Connection> connection() override { return pg::makeConnection(server_); }
    std::unique_ptr<Server> server() override { return std::make_unique<PgServer>(server_); }

  private:
    QString server_;
};

} // namespace

std::unique_ptr<Engine> makePostgresEngine(const QString& serverSetting) {
    return std::make_unique<PgEngine>(serverSetting);
}

} // namespace vx::db
