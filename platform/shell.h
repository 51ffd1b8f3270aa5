#pragma once
// Starting another program and waiting for it, from a command line as the suite builds it.

#include <QString>
#include <QStringList>

namespace vx {

// Splits a command line the way a shell would, without running one: blanks separate words,
// single quotes keep everything literally, double quotes keep blanks (a backslash escapes '"'
// and '\' inside them), and outside quotes a backslash escapes the next character.
QStringList splitCommandLine(const QString& commandLine);

// Starts the program named by the first word of `commandLine` (posix_spawn, searching PATH when
// the name holds no "/") and waits until it has ended. Returns its exit status, or -1 when it
// could not be started.
int SyncShell(const QString& commandLine);

} // namespace vx
