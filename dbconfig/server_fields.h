#pragma once
// The "Server" setting taken apart into what the configuration window shows, and put back
// together: "sqlite:" + folder for the embedded engine, "postgresql://host[:port][?host=/dir]"
// for a PostgreSQL server.

#include <QString>

namespace vx {

enum class DbEngine { Embedded, PostgreSQL };

struct ServerFields {
    DbEngine engine = DbEngine::Embedded;
    QString folder; // embedded: the database folder; empty means the data path
    QString host;   // server: the machine (empty: localhost)
    QString port;   // server: empty for the default port
    QString socket; // server: the folder of a local socket, used instead of the host
    QString extra;  // server: further "key=value" options of the address, kept as found
};

// Reads a "Server" setting. A value of no engine this build offers (a SQL Server name as the
// suite writes it) reads as the embedded engine in the data path.
ServerFields parseServerSetting(const QString& server);
// The "Server" setting of the fields.
QString composeServerSetting(const ServerFields& fields);

} // namespace vx
