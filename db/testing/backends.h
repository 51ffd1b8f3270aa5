#pragma once
// The backends a test runs on: SQLite; PostgreSQL by libpq and by ODBC when VANTREX_PG_SERVER is
// set (else skipped, or failed under CI). Each test gets a fresh database and a raw C-API client.

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

// A login that must fail, a fragment of its error, a file it must not create, and whether the
// Server object's connect fails too.
struct FailingLogin {
    std::string what;
    Login login;
    QString expected, mustNotExist;
    bool serverRefuses = false;
};

class TestDatabase {
  public:
    virtual ~TestDatabase() = default;
    virtual BackendKind kind() const = 0;
    const Login& login() const { return login_; }
    Engine& engine() { return *engine_; }
    // Statements run by the raw client (a failure is a test failure), and its first field.
    bool raw(const QString& sql);
    std::optional<QString> rawValue(const QString& sql) { return raw(sql) ? first_ : std::nullopt; }
    virtual std::vector<FailingLogin> failingLogins() = 0;

  protected:
    virtual QString run(const QString& sql) = 0;
    std::optional<QString> first_;
    Login login_;
    std::unique_ptr<Engine> engine_;
};

// Why `kind` cannot run here, and whether that must fail the test.
struct Unavailable {
    QString reason;
    bool mustFail = false;
};
std::optional<Unavailable> unavailable(BackendKind kind);

QString testServerSetting(BackendKind kind); // empty for SQLite
// The lines of an SQL trace that change a table or its rows.
QStringList changingStatements(const QString& traceFile);

std::unique_ptr<TestDatabase> createTestDatabase(BackendKind kind, const QString& scratch,
                                                 QString& error);

class BackendTest : public ::testing::TestWithParam<BackendKind> {
  protected:
    void SetUp() override;
    void TearDown() override {
        conn.reset();
        db_.reset();
    }
    TestDatabase& db() { return *db_; }
    std::unique_ptr<Connection> connect();

    vx::test::TestEnv env_;
    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<Connection> conn;
};

} // namespace vx::dbtest
