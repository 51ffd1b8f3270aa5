#include "db/testing/backends.h"

#include "db/postgres/pg_internal.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <libpq-fe.h>
#include <sqlite3.h>

namespace vx::dbtest {
namespace {

QString uniqueName() {
    return QStringLiteral("vxtest_%1_%2")
        .arg(QCoreApplication::applicationPid())
        .arg(QRandomGenerator::global()->generate() % 1000000000u);
}

// SQLite: a database file in the scratch folder; the raw client is the sqlite3 C API.
class SqliteDatabase final : public TestDatabase {
  public:
    SqliteDatabase(const QString& folder, QString& error) : folder_(folder) {
        const QString name = uniqueName();
        const QByteArray path = (folder + u'/' + name + QStringLiteral(".sqlite")).toUtf8();
        if (sqlite3_open_v2(path.constData(), &raw_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr) != SQLITE_OK) {
            error = QString::fromUtf8(sqlite3_errmsg(raw_));
            return;
        }
        sqlite3_busy_timeout(raw_, 5000);
        login_ = {QStringLiteral("sqlite:") + folder, name, QString(), QString()};
        engine_ = db::engineFor(login_.server, QString());
    }
    ~SqliteDatabase() override { sqlite3_close_v2(raw_); }
    BackendKind kind() const override { return BackendKind::SQLite; }

    bool raw(const QString& sql) override {
        char* message = nullptr;
        if (sqlite3_exec(raw_, sql.toUtf8().constData(), nullptr, nullptr, &message) == SQLITE_OK)
            return true;
        ADD_FAILURE() << "raw sqlite3: " << sql.toStdString() << ": " << message;
        sqlite3_free(message);
        return false;
    }
    std::optional<QString> rawValue(const QString& sql) override {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(raw_, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << "raw sqlite3: " << sql.toStdString() << ": " << sqlite3_errmsg(raw_);
            return std::nullopt;
        }
        std::optional<QString> value;
        if (sqlite3_step(st) == SQLITE_ROW && sqlite3_column_type(st, 0) != SQLITE_NULL)
            value = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
        return value;
    }

    std::vector<FailingLogin> failingLogins() override {
        vx::test::TestEnv::writeFile(folder_ + QStringLiteral("/junk.sqlite"),
                                     QByteArray(4096, 'x'));
        const QString server = QStringLiteral("sqlite:") + folder_,
                      missing = "unable to open database file";
        return {
            {"file that is not SQLite", {server, "junk", {}, {}}, "file is not a database", {}},
            {"missing database", {server, "nosuch", {}, {}}, missing, folder_ + "/nosuch.sqlite"},
            {"missing folder", {server + "/gone", "x", {}, {}}, missing, {}, true}};
    }

  private:
    QString folder_;
    sqlite3* raw_ = nullptr;
};

// The test server as an ODBC data source: its ODBC driver, its socket folder (or host) and port.
QString odbcSource(const QString& pgServer) {
    QString problem, host = QStringLiteral("localhost"), port = QStringLiteral("5432");
    if (const auto address = db::pg::parseAddress(pgServer, problem))
        for (const auto& [key, value] : address->keywords)
            if (key == "host" || key == "port")
                (key == "host" ? host : port) = QString::fromUtf8(value);
    return QStringLiteral("odbc:Driver={PostgreSQL Unicode};Servername=%1;Port=%2").arg(host, port);
}

// PostgreSQL: a database created on the test server; the raw client is libpq, which reads the
// server address itself, independently of this project's parser. Through ODBC the same server is
// reached by its ODBC driver.
class PostgresDatabase final : public TestDatabase {
  public:
    PostgresDatabase(const QString& scratch, bool viaOdbc, QString& error)
        : scratch_(scratch), viaOdbc_(viaOdbc),
          pgServer_(qEnvironmentVariable("VANTREX_PG_SERVER")) {
        login_ = {viaOdbc ? odbcSource(pgServer_) : pgServer_, uniqueName(),
                  qEnvironmentVariable("VANTREX_PG_USER"),
                  qEnvironmentVariable("VANTREX_PG_PASSWORD")};
        admin_ = connect(QStringLiteral("postgres"), error);
        if (!admin_ || !run(admin_, QStringLiteral("CREATE DATABASE ") + login_.database, error))
            return;
        created_ = true;
        raw_ = connect(login_.database, error);
        if (raw_)
            engine_ = db::engineFor(login_.server, QString());
    }
    ~PostgresDatabase() override {
        PQfinish(raw_);
        QString ignored;
        if (created_)
            run(admin_,
                QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(login_.database),
                ignored);
        PQfinish(admin_);
    }
    BackendKind kind() const override {
        return viaOdbc_ ? BackendKind::ODBC : BackendKind::PostgreSQL;
    }

    bool raw(const QString& sql) override {
        QString error;
        if (run(raw_, sql, error))
            return true;
        ADD_FAILURE() << "raw libpq: " << sql.toStdString() << ": " << error.toStdString();
        return false;
    }
    std::optional<QString> rawValue(const QString& sql) override {
        PGresult* r = PQexec(raw_, sql.toUtf8().constData());
        std::optional<QString> value;
        if (PQresultStatus(r) != PGRES_TUPLES_OK)
            ADD_FAILURE() << "raw libpq: " << sql.toStdString() << ": " << PQerrorMessage(raw_);
        else if (PQntuples(r) > 0 && !PQgetisnull(r, 0, 0))
            value = QString::fromUtf8(PQgetvalue(r, 0, 0));
        PQclear(r);
        return value;
    }

    std::vector<FailingLogin> failingLogins() override {
        Login wrong = login_, stopped = login_, noDriver = login_;
        wrong.password += QStringLiteral("-wrong");
        stopped.server = "postgresql://localhost?host=" + scratch_ + "/no-server-here";
        if (!viaOdbc_)
            return {{"wrong password", wrong, "password authentication failed", {}, true},
                    {"stopped server", stopped, "No such file or directory", {}, true}};
        stopped.server = odbcSource(stopped.server);
        noDriver.server = QStringLiteral("odbc:Driver={No Such Driver};Servername=x");
        return {{"wrong password", wrong, "refused the login of user \"vantrex\"", {}, true},
                {"stopped server", stopped, "the connection was refused", {}, true},
                {"missing driver", noDriver, "driver it names is not installed", {}, true}};
    }

  private:
    PGconn* connect(const QString& database, QString& error) {
        const QByteArray uri = pgServer_.toUtf8(), name = database.toUtf8(),
                         user = login_.user.toUtf8(), password = login_.password.toUtf8();
        const char* keys[] = {"dbname", "dbname", "user", "password", nullptr};
        const char* values[] = {uri.constData(), name.constData(), user.constData(),
                                password.constData(), nullptr};
        PGconn* c = PQconnectdbParams(keys, values, 1);
        if (PQstatus(c) == CONNECTION_OK) {
            PQsetNoticeProcessor(
                c, [](void*, const char*) {}, nullptr);
            return c;
        }
        error = QString::fromUtf8(PQerrorMessage(c)).trimmed();
        PQfinish(c);
        return nullptr;
    }
    static bool run(PGconn* c, const QString& sql, QString& error) {
        PGresult* r = PQexec(c, sql.toUtf8().constData());
        const ExecStatusType status = PQresultStatus(r);
        const bool ok = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
        if (!ok)
            error = QString::fromUtf8(PQresultErrorMessage(r)).trimmed();
        PQclear(r);
        return ok;
    }

    QString scratch_;
    bool viaOdbc_ = false;
    QString pgServer_;
    PGconn* admin_ = nullptr;
    PGconn* raw_ = nullptr;
    bool created_ = false;
};

} // namespace

QStringList changingStatements(const QString& traceFile) {
    static const QRegularExpression changing(
        QStringLiteral("^\\s*(ALTER|CREATE|DROP|sp_RENAME|INSERT|UPDATE|DELETE)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    const QString text = QString::fromUtf8(vx::test::TestEnv::readFile(traceFile));
    return text.split(QRegularExpression(QStringLiteral("\r?\n"))).filter(changing);
}

std::vector<BackendKind> allBackends() {
    return {BackendKind::SQLite, BackendKind::PostgreSQL, BackendKind::ODBC};
}

const char* backendLabel(BackendKind kind) {
    return kind == BackendKind::SQLite ? "SQLite"
           : kind == BackendKind::ODBC ? "ODBC"
                                       : "PostgreSQL";
}

std::string backendName(const ::testing::TestParamInfo<BackendKind>& info) {
    return backendLabel(info.param);
}

std::optional<Unavailable> unavailable(BackendKind kind) {
    if (kind == BackendKind::SQLite || !qEnvironmentVariableIsEmpty("VANTREX_PG_SERVER"))
        return std::nullopt;
    return Unavailable{QStringLiteral("no PostgreSQL test server: VANTREX_PG_SERVER is not set "
                                      "(start one with `scripts/pg-test-server.sh start DIR` and "
                                      "export what `scripts/pg-test-server.sh env DIR` prints)"),
                       !qEnvironmentVariableIsEmpty("CI")};
}

QString testServerSetting(BackendKind kind) {
    const QString pg = qEnvironmentVariable("VANTREX_PG_SERVER");
    return kind == BackendKind::SQLite ? QString()
           : kind == BackendKind::ODBC ? odbcSource(pg)
                                       : pg;
}

std::unique_ptr<TestDatabase> createTestDatabase(BackendKind kind, const QString& scratch,
                                                 QString& error) {
    std::unique_ptr<TestDatabase> db;
    if (kind == BackendKind::SQLite)
        db = std::make_unique<SqliteDatabase>(scratch, error);
    else
        db = std::make_unique<PostgresDatabase>(scratch, kind == BackendKind::ODBC, error);
    return error.isEmpty() ? std::move(db) : nullptr;
}

void BackendTest::SetUp() {
    if (const auto why = unavailable(GetParam())) {
        if (why->mustFail)
            FAIL() << "CI run: " << why->reason.toStdString();
        GTEST_SKIP() << why->reason.toStdString();
    }
    QString error;
    db_ = createTestDatabase(GetParam(), env_.mkdir(QStringLiteral("data")), error);
    ASSERT_TRUE(db_) << "cannot create the test database: " << error.toStdString();
    conn = connect();
    ASSERT_TRUE(conn);
}

void BackendTest::TearDown() {
    conn.reset();
    db_.reset();
}

std::unique_ptr<Connection> BackendTest::connect() {
    std::unique_ptr<Connection> c = db_->engine().connection();
    if (c->open(db_->login()))
        return c;
    ADD_FAILURE() << "open: " << c->lastError().description.toStdString();
    return nullptr;
}

} // namespace vx::dbtest
