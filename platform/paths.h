#pragma once
// Where things are on this machine: the program folder, the home folder that stands in for the
// Windows system drive, and the translation of the suite's Windows paths.

#include <QString>

namespace vx {

// The program folder: JOV_PROGRAM_DIR when that is set, otherwise programDirOf the running
// executable.
QString programDir();
// The program folder of the executable `exe`: for an installed program (one under /usr) the
// user's own "$XDG_DATA_HOME/jov" (~/.local/share/jov), since /usr is not the user's to write;
// otherwise the executable's folder (a build folder, a copy elsewhere).
QString programDirOf(const QString& exe);
// The folder of the files an installed program ships for its program folder
// (/usr/share/vantrex-report beside /usr/bin); empty when `exe` is not installed.
QString shippedFilesDirOf(const QString& exe);
// Makes the program folder `folder` when it is missing and copies into it each file of
// `shipped` it lacks (a file of the same name already there is the user's and stays). False,
// with `error` saying why, when the folder cannot be made.
bool prepareProgramDir(const QString& folder, const QString& shipped, QString* error);
// prepareProgramDir for the running program.
bool prepareProgramDir(QString* error);
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
