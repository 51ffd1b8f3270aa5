#include "db/sqlite/sqlite_engine.h"

#include "db/backend_support.h"
#include "db/sqlite/sqlite_internal.h"
#include "platform/paths.h"

#include <QDir>
#include <QFile>

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

    bool createDatabase(const QString& name, bool replace) override {
        const QString file = sqlite::databaseFile(folder_, name);
        if (QFile::exists(file)) {
            if (!replace)
                return failed(file + QStringLiteral(" already exists."));
            for (const char* suffix : {"", "-journal", "-wal", "-shm"})
                QFile::remove(file + QLatin1String(suffix));
            if (QFile::exists(file))
                return failed(file + QStringLiteral(" cannot be removed."));
        }
        sqlite3* db = nullptr;
        const int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &db,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        const QString why = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
        sqlite3_close(db);
        if (rc != SQLITE_OK || !QFile::exists(file))
            return failed(file + QStringLiteral(" cannot be created: ") + why);
        error_ = DbError();
        return true;
    }

  private:
    bool failed(const QString& why) {
        error_ = engineError(why);
        return false;
    }

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
