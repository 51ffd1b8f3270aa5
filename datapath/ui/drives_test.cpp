#include "datapath/ui/drives.h"
#include "testsupport/test_env.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

const QString kHome = QStringLiteral("/home/ann");

QList<DriveEntry> sampleDrives() {
    return drivesFrom({QStringLiteral("/mnt/b"), QStringLiteral("/"), kHome,
                       QStringLiteral("/proc"), QStringLiteral("/run/user/1000"),
                       QStringLiteral("/mnt/a/"), QStringLiteral("/mnt/a")},
                      kHome);
}

TEST(Drives, RootFirstThenHomeThenVolumesWithoutSystemMounts) {
    QStringList roots, keys;
    for (const DriveEntry& d : sampleDrives()) {
        roots << d.root;
        keys << d.key;
    }
    EXPECT_EQ(roots, (QStringList{"/", kHome, "/mnt/a", "/mnt/b"}));
    EXPECT_EQ(keys, (QStringList{"/", "C:", "/mnt/a", "/mnt/b"}));
}

TEST(Drives, FolderBelongsToTheDeepestDriveHoldingIt) {
    const struct {
        const char* folder;
        int drive;
    } cases[] = {
        {"/", 0},          {"/etc", 0},    {"/home/ann", 1}, {"/home/ann/TK/export", 1},
        {"/home/anna", 0}, // a name that only starts like the home folder
        {"/mnt/a/x", 2},   {"/mnt/ab", 0}, {"/mnt/b", 3},
    };
    const QList<DriveEntry> drives = sampleDrives();
    for (const auto& c : cases)
        EXPECT_EQ(driveIndexOf(drives, QString::fromLatin1(c.folder)), c.drive) << c.folder;
}

TEST(Drives, DriveNames) {
    const struct {
        const char* name;
        int drive;
    } cases[] = {
        {"C:", 1}, {"c:", 1}, {"/", 0}, {"/mnt/b", 3}, {"D:", -1}, {"/M", -1}, {"", -1},
    };
    const QList<DriveEntry> drives = sampleDrives();
    for (const auto& c : cases)
        EXPECT_EQ(driveIndexNamed(drives, QString::fromLatin1(c.name)), c.drive) << c.name;
}

TEST(Drives, HomeFoldersAreWrittenTheSuitesWay) {
    test::TestEnv env;
    const QString home = env.home();
    const struct {
        QString folder;
        QString shown;
    } cases[] = {
        {home + "/TK", "C:\\TK"},
        {home + "/TK/export/", "C:\\TK\\export"},
        {home, "C:\\"},
        {home + "x/TK", home + "x/TK"}, // beside the home folder, not in it
        {"/srv/jov/Data", "/srv/jov/Data"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(suitePath(c.folder), c.shown) << c.folder.toStdString();
}

} // namespace
} // namespace vx
