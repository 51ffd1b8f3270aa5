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
        const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".sqlite");
        if (sqlite3_open_v2(path.toUtf8().constData(), &raw_,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
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
        const QString junk = folder_ + QStringLiteral("/junk.sqlite");
        vx::test::TestEnv::writeFile(junk, QByteArray(4096, 'x'));
        const QString server = QStringLiteral("sqlite:") + folder_;
        return {
            {"file that is not SQLite",
             {server, QStringLiteral("junk"), {}, {}},
             QStringLiteral("file is not a database"),
             {},
             false},
            {"missing database",
             {server, QStringLiteral("nosuch"), {}, {}},
             QStringLiteral("unable to open database file"),
             folder_ + QStringLiteral("/nosuch.sqlite"),
             false},
            {"missing folder",
             {server + QStringLiteral("/gone"), QStringLiteral("x"), {}, {}},
             QStringLiteral("unable to open database file"),
             {},
             true},
        };
    }

  private:
    QString folder_;
    sqlite3* raw_ = nullptr;
};

// The test server as an ODBC data source: its ODBC driver, its socket folder (or host) and port.
QString odbcSource(const QString& pgServer) {
    QString problem;
    const auto address = db::pg::parseAddress(pgServer, problem);
    QString host = QStringLiteral("localhost"), port = QStringLiteral("5432");
    for (const auto& [key, value] : address ? address->keywords : decltype(address->keywords){}) {
        if (key == "host")
            host = QString::fromUtf8(value);
        else if (key == "port")
            port = QString::fromUtf8(value);
    }
    return QStringLiteral("odbc:Driver={PostgreSQL Unicode};Servername=%1;Port=%2").arg(host, port);
}

// PostgreSQL: a database created on the test server; the raw client is libpq, which reads the
// server address itself (expand_dbname), independently of this project's parser. Through ODBC
// the same server is reached by its ODBC driver.
class PostgresDatabase final : public TestDatabase {
  public:
    PostgresDatabase(const QString& scratch, bool viaOdbc, QString& error)
        : scratch_(scratch), viaOdbc_(viaOdbc) {
        pgServer_ = qEnvironmentVariable("VANTREX_PG_SERVER");
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
        if (raw_)
            PQfinish(raw_);
        QString ignored;
        if (created_)
            run(admin_,
                QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(login_.database),
                ignored);
        if (admin_)
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
        Login wrong = login_;
        wrong.password = login_.password + QStringLiteral("-wrong");
        Login stopped = login_;
        const QString nowhere = scratch_ + QStringLiteral("/no-server-here");
        stopped.server = QStringLiteral("postgresql://localhost?host=") + nowhere;
        if (viaOdbc_) {
            stopped.server = odbcSource(stopped.server);
            Login noDriver = login_;
            noDriver.server = QStringLiteral("odbc:Driver={No Such Driver};Servername=x");
            return {
                {"wrong password",
                 wrong,
                 QStringLiteral("refused the login of user \"vantrex\""),
                 {},
                 true},
                {"stopped server", stopped, QStringLiteral("the connection was refused"), {}, true},
                {"missing driver",
                 noDriver,
                 QStringLiteral("driver it names is not installed"),
                 {},
                 true},
            };
        }
        return {
            {"wrong password", wrong, QStringLiteral("password authentication failed"), {}, true},
            {"stopped server", stopped, QStringLiteral("No such file or directory"), {}, true},
        };
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
    QStringList found;
    const QString text = QString::fromUtf8(vx::test::TestEnv::readFile(traceFile));
    for (const QString& line : text.split(QRegularExpression(QStringLiteral("\r?\n"))))
        if (changing.match(line).hasMatch())
            found << line;
    return found;
}

std::vector<BackendKind> allBackends() {
    return {BackendKind::SQLite, BackendKind::PostgreSQL, BackendKind::ODBC};
}

const char* backendLabel(BackendKind kind) {
    switch (kind) {
    case BackendKind::SQLite:
        return "SQLite";
    case BackendKind::PostgreSQL:
        return "PostgreSQL";
    case BackendKind::ODBC:
        break;
    }
    return "ODBC";
}

std::string backendName(const ::testing::TestParamInfo<BackendKind>& info) {
    return backendLabel(info.param);
}

std::optional<Unavailable> unavailable(BackendKind kind) {
    if (kind == BackendKind::SQLite || !qEnvironmentVariableIsEmpty("VANTREX_PG_SERVER"))
        return std::nullopt;
    const QString reason = QStringLiteral(
        "no PostgreSQL test server: VANTREX_PG_SERVER is not set (start one with "
        "`scripts/pg-test-server.sh start DIR` and export what `scripts/pg-test-server.sh env "
        "DIR` prints)");
    return Unavailable{reason, !qEnvironmentVariableIsEmpty("CI")};
}

QString testServerSetting(BackendKind kind) {
    const QString pg = qEnvironmentVariable("VANTREX_PG_SERVER");
    switch (kind) {
    case BackendKind::SQLite:
        break;
    case BackendKind::PostgreSQL:
        return pg;
    case BackendKind::ODBC:
        return odbcSource(pg);
    }
    return QString();
}

std::unique_ptr<TestDatabase> createTestDatabase(BackendKind kind, const QString& scratch,
                                                 QString& error) {
    std::unique_ptr<TestDatabase> db;
    if (kind == BackendKind::SQLite)
        db = std::make_unique<SqliteDatabase>(scratch, error);
    else
        db = std::make_unique<PostgresDatabase>(scratch, kind == BackendKind::ODBC, error);
    if (!error.isEmpty())
        return nullptr;
    return db;
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
    if (!c->open(db_->login())) {
        ADD_FAILURE() << "open: " << c->lastError().description.toStdString();
        return nullptr;
    }
    return c;
}

} // namespace vx::dbtest
