#pragma once
// The database configuration program: sets the server, database and login of the suite's
// DATABASE settings, from its options, by asking on a terminal, or to the embedded default.

#include <QString>
#include <QStringList>
#include <cstdio>
#include <optional>

namespace vx {

struct DbConfig {
    // "sqlite:" + folder, "postgresql://host[:port][?host=/socket/dir]", a SQL Server as the
    // suite names it ("SHOPPC\JOVSERVER", "SHOPPC", "SHOPPC,1433") or "odbc:" + a data source
    // name or a connection string.
    QString server;
    QString database;
    std::optional<QString> user;
    std::optional<QString> password;
};

struct DbConfigOptions {
    std::optional<DbConfig> config; // given on the command line
    bool passwordFromInput = false; // "--password -": the password is read from standard input
    bool help = false;
    QString error; // not empty: bad usage
};

// --server S --database D [--user U] [--password P | --password -]; the suite's "/NAME=value"
// switches are accepted and ignored.
DbConfigOptions parseDbConfigOptions(const QStringList& args);
QString dbConfigUsage();

// The embedded default: "sqlite:" (the data path) and the database "JOV".
DbConfig embeddedDefault();

// The configuration the settings hold now: the embedded default where no server is set, the
// login the report would use ("UserName" defaults to "sa").
DbConfig presentDbConfig();

// True when a user can see a window: a display is named (DISPLAY or WAYLAND_DISPLAY) and Qt is
// not told to draw off screen ("offscreen", "minimal"). Scripted and test runs are not.
bool userCanSeeWindows();

// Writes the configuration into the settings store ("JOV Settings", section "DATABASE"); the
// login keys only when given. False when the settings file cannot be written.
bool saveDbConfig(const DbConfig& config);

// Asks for the engine and each value on a terminal, offering the present settings as defaults;
// the password is read without echo when `in` is a terminal. nullopt when the input ends.
std::optional<DbConfig> askOnTerminal(FILE* in, FILE* out);

} // namespace vx
