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

// The connection string of a login. `driver` is what "Driver=" names for SQL Server (a
// registered driver name or the driver library's path); `port` the TCP port to use there (the
// SQL Browser's answer for a named instance). The database is left out when `database` is
// empty (the login's default database). A data source string keeps its own login and
// database when it has them.
QString odbcConnectionString(const OdbcAddress& address, const Login& login,
                             const QString& database, const QString& driver,
                             const QString& port = {});

} // namespace vx::db::odbc
