#pragma once
// The "Server" setting taken apart into what the configuration window shows, and put back
// together: "sqlite:" + folder for the embedded engine, "postgresql://host[:port][?host=/dir]"
// for a PostgreSQL server, the suite's own SQL Server names ("SHOPPC\JOVSERVER", "SHOPPC",
// "SHOPPC,1433") kept as written, and "odbc:" + a DSN name or a connection string.

#include <QString>

namespace vx {

// In the order the window's engine list offers them.
enum class DbEngine { Embedded, PostgreSQL, SqlServer, OdbcSource };

struct ServerFields {
    DbEngine engine = DbEngine::Embedded;
    QString folder;    // embedded: the database folder; empty means the data path
    QString host;      // PostgreSQL: the machine (empty: localhost)
    QString port;      // PostgreSQL: empty for the default port
    QString socket;    // PostgreSQL: the folder of a local socket, used instead of the host
    QString extra;     // PostgreSQL: further "key=value" options of the address, kept as found
    QString sqlServer; // SQL Server: "machine\instance", "machine" or "machine,port"
    QString source;    // ODBC: a data source name or a connection string (without "odbc:")
};

// Reads a "Server" setting. A value no engine accepts reads as the embedded engine in the data
// path.
ServerFields parseServerSetting(const QString& server);
// The "Server" setting of the fields.
QString composeServerSetting(const ServerFields& fields);

// What keeps the fields from naming a server, in a sentence for the user; empty when they name
// one (the embedded and PostgreSQL fields always do).
QString serverFieldsProblem(const ServerFields& fields);

// The "Server" setting as messages and prompts show it: the password of an ODBC connection
// string ("PWD=", "Password=") replaced by "****".
QString shownServer(const QString& server);

} // namespace vx
