#include "datapath/ui/drives.h"
#include "testsupport/test_env.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(Drives, RootHomeAndVolumesAndTheFoldersOnThem) {
    const QString home = QStringLiteral("/home/ann");
    const QList<DriveEntry> drives =
        drivesFrom({"/mnt/b", "/", home, "/proc", "/run/user/1000", "/mnt/a/", "/mnt/a"}, home);
    QStringList roots, keys;
    for (const DriveEntry& d : drives) {
        roots << d.root;
        keys << d.key;
    }
    // Root first, then home, then the volumes; no system mounts, no doubles.
    EXPECT_EQ(roots, (QStringList{"/", home, "/mnt/a", "/mnt/b"}));
    EXPECT_EQ(keys, (QStringList{"/", "C:", "/mnt/a", "/mnt/b"}));

    // A folder belongs to the deepest drive holding it; "/home/anna" only starts like home.
    const std::pair<const char*, int> folders[] = {
        {"/", 0},          {"/etc", 0},     {"/home/ann", 1}, {"/home/ann/TK/export", 1},
        {"/home/anna", 0}, {"/mnt/a/x", 2}, {"/mnt/ab", 0},   {"/mnt/b", 3}};
    for (const auto& [folder, drive] : folders)
        EXPECT_EQ(driveIndexOf(drives, QString::fromLatin1(folder)), drive) << folder;
    const std::pair<const char*, int> names[] = {{"C:", 1},  {"c:", 1},  {"/", 0}, {"/mnt/b", 3},
                                                 {"D:", -1}, {"/M", -1}, {"", -1}};
    for (const auto& [name, drive] : names)
        EXPECT_EQ(driveIndexNamed(drives, QString::fromLatin1(name)), drive) << name;
}

TEST(Drives, HomeFoldersAreWrittenTheSuitesWay) {
    test::TestEnv env;
    const QString home = env.home();
    const std::pair<QString, QString> cases[] = {
        {home + "/TK", "C:\\TK"},
        {home + "/TK/export/", "C:\\TK\\export"},
        {home, "C:\\"},
        {home + "x/TK", home + "x/TK"}, // beside the home folder, not in it
        {"/srv/jov/Data", "/srv/jov/Data"},
    };
    for (const auto& [folder, shown] : cases)
        EXPECT_EQ(suitePath(folder), shown) << folder.toStdString();
}

} // namespace
} // namespace vx
