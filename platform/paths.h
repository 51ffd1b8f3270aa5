#pragma once
// Where things are on this machine: the program folder, the home folder that stands in for the
// Windows system drive, and the translation of the suite's Windows paths.

#include <QString>

namespace vx {

// The folder of the running executable, or JOV_PROGRAM_DIR when that is set.
QString programDir();
// The running executable's file name.
QString executableName();
// The machine's name (gethostname).
QString computerName();
// The user's home folder, which stands for the Windows system drive "C:\".
QString homeDir();

// Turns a path written the Windows way into this machine's path: "C:\" (any case) becomes the
// home folder, "\" becomes "/", and trailing blanks and dots of the last name are dropped as
// Windows drops them. A path without a drive letter keeps its place. Names of such a path that
// do not exist as written are found ignoring case, as on Windows ("c:\tk" is ~/TK when there is
// no ~/tk).
QString nativePath(const QString& path);
// folder + "/" + name, with the name's trailing blanks and dots dropped.
QString joinPath(const QString& folder, const QString& name);

// True when `path` names an existing folder.
bool dirExists(const QString& path);
// True when `path` names an existing file (not a folder).
bool fileExists(const QString& path);

} // namespace vx
