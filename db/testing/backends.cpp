#include "db/testing/backends.h"

#include "db/postgres/pg_internal.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <array>
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
        if (sqlite3_open(path.constData(), &raw_) != SQLITE_OK) {
            error = QString::fromUtf8(sqlite3_errmsg(raw_));
            return;
        }
        sqlite3_busy_timeout(raw_, 5000);
        login_ = {QStringLiteral("sqlite:") + folder, name, QString(), QString()};
        engine_ = db::engineFor(login_.server, QString());
    }
    ~SqliteDatabase() override { sqlite3_close_v2(raw_); }
    BackendKind kind() const override { return BackendKind::SQLite; }
    QString run(const QString& sql) override {
        std::optional<std::optional<QString>> row; // the first row's first field, once read
        const auto keep = [](void* out, int, char** values, char**) {
            auto& first = *static_cast<decltype(row)*>(out);
            if (!first)
                first.emplace(values[0] ? std::optional(QString::fromUtf8(values[0]))
                                        : std::nullopt);
            return 0;
        };
        const int rc = sqlite3_exec(raw_, sql.toUtf8().constData(), keep, &row, nullptr);
        first_ = row.value_or(std::nullopt);
        return rc == SQLITE_OK ? QString() : QString::fromUtf8(sqlite3_errmsg(raw_));
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

// PostgreSQL: a database on the test server (also reached by ODBC); the raw client is libpq.
class PostgresDatabase final : public TestDatabase {
  public:
    PostgresDatabase(const QString& scratch, bool viaOdbc, QString& error)
        : scratch_(scratch), viaOdbc_(viaOdbc),
          pgServer_(qEnvironmentVariable("VANTREX_PG_SERVER")) {
        login_ = {viaOdbc ? odbcSource(pgServer_) : pgServer_, uniqueName(),
                  qEnvironmentVariable("VANTREX_PG_USER"),
                  qEnvironmentVariable("VANTREX_PG_PASSWORD")};
        admin_ = connect(QStringLiteral("postgres"), error);
        if (!admin_ || !(error = exec(admin_, "CREATE DATABASE " + login_.database)).isEmpty())
            return;
        created_ = true;
        raw_ = connect(login_.database, error);
        if (raw_)
            engine_ = db::engineFor(login_.server, QString());
    }
    ~PostgresDatabase() override {
        PQfinish(raw_);
        if (created_)
            exec(admin_, QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(login_.database));
        PQfinish(admin_);
    }
    BackendKind kind() const override {
        return viaOdbc_ ? BackendKind::ODBC : BackendKind::PostgreSQL;
    }

    QString run(const QString& sql) override { return exec(raw_, sql, &first_); }

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
    // Runs `sql` on `c`: the error, or empty (and the first field of its first row in `first`).
    static QString exec(PGconn* c, const QString& sql, std::optional<QString>* first = nullptr) {
        PGresult* r = PQexec(c, sql.toUtf8().constData());
        const ExecStatusType status = PQresultStatus(r);
        QString error;
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
            error = PQresStatus(status) + QStringLiteral(": ") + PQresultErrorMessage(r);
        else if (first && PQntuples(r) > 0 && !PQgetisnull(r, 0, 0))
            *first = QString::fromUtf8(PQgetvalue(r, 0, 0));
        PQclear(r);
        return error.trimmed();
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
    return std::array{"SQLite", "PostgreSQL", "ODBC"}[size_t(kind)];
}

std::string backendName(const ::testing::TestParamInfo<BackendKind>& info) {
    return backendLabel(info.param);
}

std::optional<Unavailable> unavailable(BackendKind kind) {
    if (kind == BackendKind::SQLite || !qEnvironmentVariableIsEmpty("VANTREX_PG_SERVER"))
        return std::nullopt;
    return Unavailable{
        QStringLiteral("VANTREX_PG_SERVER is not set: see scripts/pg-test-server.sh"),
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

bool TestDatabase::raw(const QString& sql) {
    first_.reset();
    const QString error = run(sql);
    EXPECT_TRUE(error.isEmpty()) << "raw client: " << sql.toStdString() << ": "
                                 << error.toStdString();
    return error.isEmpty();
}

std::unique_ptr<Connection> BackendTest::connect() {
    std::unique_ptr<Connection> c = db_->engine().connection();
    if (c->open(db_->login()))
        return c;
    ADD_FAILURE() << "open: " << c->lastError().description.toStdString();
    return nullptr;
}

} // namespace vx::dbtest
