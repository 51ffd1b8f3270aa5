#pragma once
// Logging in through ODBC: the driver for the suite's SQL Server names, the SQL Browser's port
// of a named instance, the driver's own login within the login timeout, and a failure told in
// plain words that name the server and the cause (never the password).

#include "db/odbc/odbc_address.h"
#include "db/odbc/odbc_api.h"

namespace vx::db::odbc {

// A login never waits longer than this, the SQL Browser's answer included.
inline constexpr int kLoginTimeoutSeconds = 15;

// The ODBC driver the SQL Server names use: VANTREX_SQLSERVER_DRIVER when set, else the FreeTDS
// driver as the driver manager knows it, else its library where Debian installs it. Empty when
// there is none.
QString sqlServerDriver();

// Opens a connection for `login` on `database` (empty: the login's default database), with
// `extra` ("key=value;...") added to the connection string. On failure the handle is empty,
// `error` says why and `why` (when given) tells the kind of failure.
enum class LoginFailure;
DbcHandle logIn(const OdbcAddress& address, const Login& login, const QString& database,
                DbError& error, const QString& extra = {}, LoginFailure* why = nullptr);

// What the failure of a login means, from the driver's records and a look at the network.
enum class LoginFailure {
    MissingDriver,
    NoDataSource,
    WrongLogin,
    UnknownHost,
    Refused,
    NoAnswer,
    NoBrowser,
    NoTcp,
    NoDatabase,
    Other,
};
LoginFailure classifyLoginFailure(const QList<Diag>& records);
// The message of a failure; `detail` is the driver's message for Other.
QString loginFailureText(LoginFailure failure, const OdbcAddress& address, const Login& login,
                         const QString& database, const QString& detail);

// The address as messages show it: a connection string's password replaced by "****".
QString shownAddress(const OdbcAddress& address);

} // namespace vx::db::odbc
