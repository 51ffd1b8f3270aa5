#pragma once
// The "drives" of this machine as the path browser offers them: the filesystem root, the home
// folder (which stands for the suite's "C:" drive) and the other mounted volumes. Paths of the
// suite's own form ("C:\TK") and this machine's form ("/home/ann/TK") are converted here.

#include <QList>
#include <QString>

namespace vx {

struct DriveEntry {
    QString root;  // the drive's top folder, this machine's path
    QString key;   // what the browser reports as the drive: "C:" for home, else the root
    QString label; // the text of the drive list
};

// "/" first, then the home folder, then the other mounted volumes in path order. Volumes of
// the system's own filesystems (/proc, /sys, /dev, /run) are left out.
QList<DriveEntry> browseDrives();
// The drive list from the given mount points (`roots` in any order, duplicates allowed) and
// `home`: the part of browseDrives() that does not ask the system.
QList<DriveEntry> drivesFrom(const QStringList& roots, const QString& home);

// The position in `drives` of the drive holding `folder` (the deepest root that contains it),
// -1 when none does.
int driveIndexOf(const QList<DriveEntry>& drives, const QString& folder);
// The position of the drive named `name`: "C:" (any case) is the home folder, otherwise a
// drive's key or root exactly; -1 when there is no such drive.
int driveIndexNamed(const QList<DriveEntry>& drives, const QString& name);

// A folder of this machine written the suite's way when it lies in the home folder
// ("/home/ann/TK" -> "C:\TK"); any other folder is given back unchanged.
QString suitePath(const QString& folder);

} // namespace vx
