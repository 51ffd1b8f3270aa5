#pragma once
// The one database connection: which server and database the suite's settings name, the
// start-up check of the server (with its trace file "52.txt" in the program folder), and the
// check that the database exists.

#include <QString>

namespace vx::db {

// Reads the server settings and checks that the server answers. True when it does.
bool gfbDB_ServerCheck();
// Opens the connection to `dbName` (an empty name means gsDBName and is replaced by it).
void gpDB_Connect(QString& dbName);
// Runs the suite's configuration program from the program folder, waits for it, and returns the
// "Server" setting read afresh.
QString gsDB_RunDataConfiguration();
// Writes gsDBServer under [DATABASE] SERVERNAME of the file the shared INI object is bound to.
void gpDB_SaveServerName();
// The database layer's start-up: table slots, server check, database existence. False after a
// "Database Error" message.
bool gfbDB_Startup(const QString& unused = QString());

// True when the configured database exists on the server.
bool gfbDB_DatabaseExists();
// Tells the user that the database was not found and ends the program.
[[noreturn]] void gfbDB_MissingDatabase();

// The trace file's path and one line appended to it.
QString traceFile();
void gpTrace(const QString& line);

} // namespace vx::db
