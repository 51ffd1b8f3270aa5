#include "datapath/ui/drives.h"
#include "testsupport/test_env.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(Drives, RootHomeVolumesTheFoldersOnThemAndTheSuitesWayOfWritingThem) {
    test::TestEnv env;
    const QString home = env.home();
    const QList<DriveEntry> drives =
        drivesFrom({"/mnt/b", "/", home, "/proc", "/run/user/1000", "/mnt/a/", "/mnt/a"}, home);
    QStringList keys;
    for (const DriveEntry& d : drives)
        keys << d.key + u'=' + d.root;
    // Root first, then home, then the volumes; no system mounts, no doubles.
    EXPECT_EQ(keys, (QStringList{"/=/", "C:=" + home, "/mnt/a=/mnt/a", "/mnt/b=/mnt/b"}));
    // A folder belongs to the deepest drive holding it; "<home>x" only starts like home.
    const std::pair<QString, int> folders[] = {
        {"/etc", 0}, {home + "/TK/export", 1}, {home + "x", 0}, {"/mnt/b", 3}};
    for (const auto& [folder, drive] : folders)
        EXPECT_EQ(driveIndexOf(drives, folder), drive) << folder.toStdString();
    const std::pair<const char*, int> names[] = {{"c:", 1}, {"/mnt/b", 3}, {"/M", -1}, {"D:", -1}};
    for (const auto& [name, drive] : names)
        EXPECT_EQ(driveIndexNamed(drives, QString::fromLatin1(name)), drive) << name;
    const std::pair<QString, QString> paths[] = {
        {home + "/TK/export/", "C:\\TK\\export"}, {home, "C:\\"}, {home + "x/TK", home + "x/TK"}};
    for (const auto& [folder, shown] : paths)
        EXPECT_EQ(suitePath(folder), shown) << folder.toStdString();
}

} // namespace
} // namespace vx
