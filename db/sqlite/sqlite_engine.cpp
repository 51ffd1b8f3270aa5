#include "db/sqlite/sqlite_engine.h"

#include "db/backend_support.h"
#include "db/sqlite/sqlite_internal.h"
#include "platform/paths.h"

#include <QDir>

namespace vx::db {
namespace {

// The management side of a folder of database files: the folder is the server.
class SqliteServer final : public Server {
  public:
    explicit SqliteServer(QString folder) : folder_(std::move(folder)) {}

    int connect(const Login&) override {
        error_ = DbError();
        status_ = dirExists(folder_) ? 1 : 0;
        if (status_ != 1)
            error_ =
                engineError(QStringLiteral("The database folder %1 does not exist.").arg(folder_));
        return status_;
    }

    int status() const override { return status_; }

    std::optional<QStringList> databases() override {
        if (!dirExists(folder_)) {
            error_ =
                engineError(QStringLiteral("The database folder %1 does not exist.").arg(folder_));
            return std::nullopt;
        }
        QStringList names;
        const QStringList files =
            QDir(folder_).entryList({QStringLiteral("*.sqlite")}, QDir::Files, QDir::Name);
        for (const QString& f : files)
            names << f.chopped(7);
        error_ = DbError();
        return names;
    }

    std::optional<QStringList> tables(const QString& database) override {
        const sqlite::SharedDatabase db =
            sqlite::openDatabase(sqlite::databaseFile(folder_, database), true, error_);
        if (!db)
            return std::nullopt;
        sqlite::Statement st = sqlite::prepare(
            db->db,
            QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND "
                           "name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name"),
            error_);
        if (!st)
            return std::nullopt;
        QStringList names;
        int rc = SQLITE_ROW;
        while ((rc = sqlite3_step(st.get())) == SQLITE_ROW)
            names << sqlite::columnText(st.get(), 0);
        if (rc != SQLITE_DONE) {
            error_ = sqlite::errorOf(db->db);
            return std::nullopt;
        }
        error_ = DbError();
        return names;
    }

    QString machine() const override { return computerName(); }
    DbError lastError() const override { return error_; }

  private:
    QString folder_;
    int status_ = 0;
    DbError error_;
};

class SqliteEngine final : public Engine {
  public:
    explicit SqliteEngine(QString folder) : folder_(std::move(folder)) {}
    std::unique_ptr<Connection> connection() override { return sqlite::makeConnection(folder_); }
    std::unique_ptr<Server> server() override { return std::make_unique<SqliteServer>(folder_); }

  private:
    QString folder_;
};

} // namespace

std::unique_ptr<Engine> makeSqliteEngine(const QString& folder) {
    return std::make_unique<SqliteEngine>(folder);
}

} // namespace vx::db
