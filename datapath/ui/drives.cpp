#include "datapath/ui/drives.h"

#include "platform/paths.h"

#include <QDir>
#include <QStorageInfo>
#include <algorithm>

namespace vx {

namespace {

const QString kHomeDrive = QStringLiteral("C:");

// True when `folder` is `root` or lies below it.
bool contains(const QString& root, const QString& folder) {
    if (folder == root)
        return true;
    const QString prefix = root.endsWith(u'/') ? root : root + u'/';
    return folder.startsWith(prefix);
}

bool isSystemMount(const QString& root) {
    for (const char* system : {"/proc", "/sys", "/dev", "/run"})
        if (contains(QLatin1String(system), root))
            return true;
    return false;
}

} // namespace

QList<DriveEntry> drivesFrom(const QStringList& roots, const QString& home) {
    QStringList others;
    for (const QString& root : roots) {
        const QString clean = QDir::cleanPath(root);
        if (clean.isEmpty() || clean == QLatin1String("/") || clean == home ||
            isSystemMount(clean) || others.contains(clean))
            continue;
        others << clean;
    }
    std::sort(others.begin(), others.end());

    QList<DriveEntry> drives;
    drives.append({QStringLiteral("/"), QStringLiteral("/"), QStringLiteral("/")});
    if (!home.isEmpty() && home != QLatin1String("/"))
        drives.append({home, kHomeDrive, kHomeDrive + QStringLiteral(" [") + home + u']'});
    for (const QString& root : others)
        drives.append({root, root, root});
    return drives;
}

QList<DriveEntry> browseDrives() {
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady())
            roots << volume.rootPath();
    return drivesFrom(roots, QDir::cleanPath(homeDir()));
}

int driveIndexOf(const QList<DriveEntry>& drives, const QString& folder) {
    int best = -1;
    for (int i = 0; i < drives.size(); ++i)
        if (contains(drives[i].root, folder) &&
            (best < 0 || drives[i].root.size() > drives[best].root.size()))
            best = i;
    return best;
}

int driveIndexNamed(const QList<DriveEntry>& drives, const QString& name) {
    for (int i = 0; i < drives.size(); ++i)
        if (drives[i].key.compare(name, drives[i].key == kHomeDrive ? Qt::CaseInsensitive
                                                                    : Qt::CaseSensitive) == 0 ||
            drives[i].root == name)
            return i;
    return -1;
}

QString suitePath(const QString& folder) {
    const QString home = QDir::cleanPath(homeDir());
    const QString clean = QDir::cleanPath(folder);
    if (home.isEmpty() || home == QLatin1String("/") || !contains(home, clean))
        return folder;
    QString rest = clean.mid(home.size());
    if (rest.startsWith(u'/'))
        rest.remove(0, 1);
    return QStringLiteral("C:\\") + rest.replace(u'/', u'\\');
}

} // namespace vx
