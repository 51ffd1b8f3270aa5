#pragma once
// Where an ODBC login goes: the "Server" setting read as one of the suite's SQL Server names
// ("machine\instance", "machine", "machine,port") or as "odbc:" followed by a data source name
// or a connection string, and the connection string built from it and the login.

#include "db/engine.h"

#include <QString>
#include <optional>

namespace vx::db::odbc {

struct OdbcAddress {
    enum class Kind { SqlServer, DataSource };
    Kind kind = Kind::SqlServer;
    // SQL Server: the machine, the named instance (empty: the default instance) and the TCP port
    // (empty: the instance's port from the SQL Browser, or 1433 for the default instance).
    QString machine;
    QString instance;
    QString port;
    // Data source: the text after "odbc:", a DSN name or a connection string.
    QString source;

    // How the user wrote it, for messages: "SHOPPC\JOVSERVER", "odbc:DSN=Shop".
    QString shown;
};

// nullopt for a setting that names another engine ("sqlite:", "postgresql://") or nothing
// usable (blank, "machine,notaport").
std::optional<OdbcAddress> parseOdbcServer(const QString& serverSetting);

// The machine an address names: the SQL Server's, or a connection string's "Server" (or
// "Servername") without an instance or port; empty when it names none (a DSN).
QString addressMachine(const OdbcAddress& address);

// A connection string value, in braces when it holds a character the syntax reserves.
QString odbcValue(const QString& value);
// True when `connection` (a connection string) sets one of `keys` (compared ignoring case).
bool hasOdbcKey(const QString& connection, std::initializer_list<const char*> keys);
// The value of `key` in a connection string (empty when absent).
QString odbcKeyValue(const QString& connection, const char* key);

// How a SQL Server login speaks the protocol. Empty values are negotiated: the newest version
// first (a server answers a newer client with its own), 7.1 when an older server closes the
// connection instead; the driver's encryption default (used when the server offers it,
// required when the server requires it); the server's certificate not checked.
struct TdsOptions {
    QString version;    // "7.1" (SQL Server 2000) .. "7.4" (2012 and later)
    QString encryption; // "off", "request" or "require"
    QString caFile;     // the authorities whose signature the server's certificate must carry
};
// The driver takes its authorities file from a server section of its own configuration file
// only: with a pinned file the login names the section kCheckedServer of a file made for it
// (machine, port or instance, the authorities; the certificate's name is checked too), which
// FREETDSCONF names for the logins that follow. False when it cannot be written.
inline constexpr char kCheckedServer[] = "vantrex-report";
bool useCertificateAuthorities(const QString& machine, const QString& port, const QString& instance,
                               const QString& caFile);
// The version tried first when none is pinned, and the one of the oldest servers.
inline constexpr char kNewestTds[] = "7.4";
inline constexpr char kOldestTds[] = "7.1";

// The pins an administrator set in the program's own settings (section "SQL SERVER", keys
// "TDSVersion", "Encryption", "CAFile"). A value that is not one of the allowed ones is left out
// and named in `problem`.
TdsOptions tdsOptionsFromSettings(QString* problem = nullptr);
// The settings that pin them, as messages name them.
QString tdsSettingsPlace();

// The connection string of a login. `driver` is what "Driver=" names for SQL Server (a
// registered driver name or the driver library's path); `port` the TCP port to use there (the
// SQL Browser's answer for a named instance); `tds` how to speak to it (an empty version is
// the newest). The database is left out when `database` is empty (the login's default
// database). A data source string keeps its own login and database when it has them, and
// everything else it says.
QString odbcConnectionString(const OdbcAddress& address, const Login& login,
                             const QString& database, const QString& driver,
                             const QString& port = {}, const TdsOptions& tds = {});

} // namespace vx::db::odbc
