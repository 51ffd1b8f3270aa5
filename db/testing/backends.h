#pragma once
// The backends a parameterised test runs against: SQLite always; PostgreSQL through libpq and
// through its ODBC driver when a test server is configured (VANTREX_PG_SERVER, VANTREX_PG_USER,
// VANTREX_PG_PASSWORD, as scripts/pg-test-server.sh prints them); without one those cases are
// skipped, or fail when CI is set. Each test gets a fresh database (dropped afterwards), a
// Connection on it, and a raw client ("another tool": the engine's own C API).

#include "db/engine.h"
#include "testsupport/test_env.h"

#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace vx::dbtest {

using db::Connection;
using db::DbError;
using db::DbValue;
using db::Engine;
using db::Login;
using db::Recordset;

enum class BackendKind { SQLite, PostgreSQL, ODBC };
inline bool onPostgresServer(BackendKind kind) {
    return kind != BackendKind::SQLite;
}

std::vector<BackendKind> allBackends();
const char* backendLabel(BackendKind kind);
inline void PrintTo(BackendKind kind, std::ostream* os) {
    *os << backendLabel(kind);
}
std::string backendName(const ::testing::TestParamInfo<BackendKind>& info);

// A login that must fail, and a fragment of the description it must fail with.
struct FailingLogin {
    std::string what;
    Login login;
    QString expected, mustNotExist; // mustNotExist: a file the attempt must not create
    bool serverRefuses = false;     // the Server object's connect fails too
};

class TestDatabase {
  public:
    virtual ~TestDatabase() = default;
    virtual BackendKind kind() const = 0;
    const Login& login() const { return login_; }
    Engine& engine() { return *engine_; }
    // Runs statements with the raw client; false (ADD_FAILURE with the error) on failure.
    bool raw(const QString& sql);
    // The first field of a query's first row with the raw client; nullopt for no row or NULL.
    std::optional<QString> rawValue(const QString& sql) { return raw(sql) ? first_ : std::nullopt; }
    virtual std::vector<FailingLogin> failingLogins() = 0;

  protected:
    // The raw client runs `sql`, keeping the first field of its first row in first_; the error.
    virtual QString run(const QString& sql) = 0;
    std::optional<QString> first_;
    Login login_;
    std::unique_ptr<Engine> engine_;
};

// Why `kind` cannot run here (nullopt: it can), and whether that must fail the test.
struct Unavailable {
    QString reason;
    bool mustFail = false;
};
std::optional<Unavailable> unavailable(BackendKind kind);

// The test server's "Server" setting for `kind` (empty for SQLite).
QString testServerSetting(BackendKind kind);

// The statements of an SQL trace (VANTREX_SQL_TRACE, one per line) that change a table or its
// rows: ALTER, CREATE, DROP, sp_RENAME, INSERT, UPDATE, DELETE.
QStringList changingStatements(const QString& traceFile);

// A fresh database (nullptr with `error` when it cannot be made); `scratch`: a folder for it.
std::unique_ptr<TestDatabase> createTestDatabase(BackendKind kind, const QString& scratch,
                                                 QString& error);

// The fixture of a test run on every backend: db() and conn are ready in the test body.
class BackendTest : public ::testing::TestWithParam<BackendKind> {
  protected:
    void SetUp() override;
    void TearDown() override {
        conn.reset();
        db_.reset();
    }
    TestDatabase& db() { return *db_; }
    // A further connection on the test database (nullptr with a test failure when it fails).
    std::unique_ptr<Connection> connect();

    vx::test::TestEnv env_;
    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<Connection> conn;
};

} // namespace vx::dbtest
