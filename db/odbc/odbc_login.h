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

enum class LoginFailure;
struct LoginOptions {
    QString extra; // "key=value;..." added to the connection string
    int timeoutSeconds = kLoginTimeoutSeconds;
    LoginFailure* why = nullptr; // when given, the kind of a failure
};

// Opens a connection for `login` on `database` (empty: the login's default database). On
// failure the handle is empty and `error` says why.
DbcHandle logIn(const OdbcAddress& address, const Login& login, const QString& database,
                DbError& error, const LoginOptions& options = {});

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
    NotSqlServer,
    NoDatabase,
    ClosedAtLogin,         // the server ended the connection on the login (an older release)
    ProtocolVersion,       // ... while the settings pin the protocol version
    EncryptionRequired,    // the server requires encryption that the settings switch off
    CertificateNotTrusted, // the server's certificate is not signed by the pinned authorities
    Other,
};
LoginFailure classifyLoginFailure(const QList<Diag>& records);
// The message of a failure; `detail` is the driver's message for Other.
QString loginFailureText(LoginFailure failure, const OdbcAddress& address, const Login& login,
                         const QString& database, const QString& detail,
                         int timeoutSeconds = kLoginTimeoutSeconds);

// The address as messages show it: a connection string's password replaced by "****".
QString shownAddress(const OdbcAddress& address);

} // namespace vx::db::odbc
