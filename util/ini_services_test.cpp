#include "util/ini_services.h"

#include "platform/scripted_messages.h"
#include "testsupport/test_env.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tuple>

using namespace vx;
using test::TestEnv;
using Row = std::array<QString, 2>;

namespace {

const QByteArray kSample =
    "; store settings\r\n[JOVURM]\r\nCompany=Corner Shop\r\n"
    "Phone = 555 1234 \r\n\r\n[Daily Reports]\r\nShow=Yes\r\n"
    "Printer=corner shop\r\nsome line the suite does not know\r\n[Empty]\r\n";

class IniTest : public ::testing::Test {
  protected:
    void TearDown() override { detail::setIniFaultHook({}); }
    // A profile file with the given content, bound to `ini`.
    QString bind(const QByteArray& content = kSample) {
        const QString path = env.root() + "/data/JOV.INI";
        TestEnv::writeFile(path, content);
        ini.File_Name(path);
        return path;
    }
    QByteArray content() const { return TestEnv::readFile(ini.File()); }
    void chmod(const QString& path, mode_t mode) { ::chmod(QFile::encodeName(path), mode); }

    TestEnv env;
    ScopedScriptedMessages boxes;
    clsINI_Services ini;
};

// The object works only on a file it can read and write; after a failed check it does nothing
// until a good file is named.
TEST_F(IniTest, FileCheckAcceptsOnlyUsableFiles) {
    const QString data = env.mkdir("data") + u'/';
    const QByteArray binary("\x00\x01\xff\xfe[\x00]\r\n\x7f=\x80", 13);
    // path, content and mode (0: no file written), usable
    const std::tuple<QString, QByteArray, mode_t, bool> cases[] = {
        {data, "", 0, false},
        {data + "missing.ini", "", 0, false},
        {data + "binary.ini", binary, 0666, true},
        {data + "readonly.ini", "[A]\r\n", 0444, true}, // read; only a write fails
        {data + "writeonly.ini", "[A]\r\n", 0222, false}};
    for (const auto& [path, bytes, mode, usable] : cases) {
        SCOPED_TRACE(path.toStdString());
        if (mode != 0) {
            TestEnv::writeFile(path, bytes);
            chmod(path, mode);
        }
        test::asOrdinaryUser(env, [&] { ini.File_Name(path); });
        EXPECT_EQ(ini.FileOpen(), usable);
        EXPECT_EQ(ini.File(), usable ? path : QString());
    }
    EXPECT_FALSE(ini.WriteData("A", "k", "v"));
    EXPECT_TRUE(ini.GetAllSections().isEmpty());
    test::asOrdinaryUser(env, [&] {
        ini.File_Name(data + "readonly.ini");
        EXPECT_EQ(ini.getvalue("A", "k", "d"), "d");
        EXPECT_FALSE(ini.WriteData("A", "k", "v"));
    });
    EXPECT_EQ(TestEnv::readFile(data + "readonly.ini"), "[A]\r\n");
    EXPECT_EQ(TestEnv::readFile(data + "binary.ini"), binary); // untouched
    EXPECT_FALSE(QFile::exists(data + "missing.ini"));
    EXPECT_TRUE(boxes.boxes().isEmpty());

    TestEnv::writeFile(env.home() + "/TK/JOV.INI", "[A]\r\nx=1\r\n");
    ini.File_Name("C:\\TK\\JOV.INI"); // read in the home folder
    EXPECT_EQ(ini.File(), "C:\\TK\\JOV.INI");
    EXPECT_EQ(ini.getvalue("a", "X"), "1");
}

TEST_F(IniTest, ReadsValuesAndNameLists) {
    bind("[Dup]\r\nkey=first\r\nKEY=second\r\n[Q]\r\nlong=" + QByteArray(300, 'v') +
         "\r\n[B]\r\n; note=not a key\r\nno key here\r\n");
    EXPECT_EQ(ini.getvalue("DUP", "Key"), "first");
    EXPECT_EQ(ini.getvalue("Q", "missing", "dflt  "), "dflt");
    EXPECT_EQ(ini.getvalue("Q", "long"), QString(254, u'v')); // what fits the buffer
    EXPECT_EQ(ini.GetAllKeysInSection("dup"), (QStringList{"key", "KEY"}));
    EXPECT_EQ(ini.GetAllKeysValuesInSection("Dup"),
              (QList<Row>{{"key", "first"}, {"KEY", "first"}}));
    // Without names, element 0 is the empty text.
    EXPECT_EQ(ini.GetAllKeysInSection("B"), QStringList{QString()});
    EXPECT_EQ(ini.GetAllKeysValuesInSection("B"), (QList<Row>{{"", ""}}));

    bind("");
    EXPECT_EQ(ini.GetAllSections(), QStringList{QString()});
}

TEST_F(IniTest, Searches) {
    bind();
    EXPECT_TRUE(ini.FindKeyInSection("JOVURM", "COMPANY"));
    EXPECT_FALSE(ini.FindKeyInSection("Daily Reports", "Company"));
    EXPECT_EQ(ini.FindValueInSection("daily reports", "YES"), QStringList{"Show"});
    EXPECT_EQ(ini.FindValueInSection("JOVURM", "no"), QStringList{QString()});
    EXPECT_EQ(ini.FindValueInFile("CORNER SHOP"),
              (QStringList{"JOVURM|Company", "Daily Reports|Printer"}));
    bind("[One]\r\nkey=1\r\n[Two]\r\nother=2\r\n[Three]\r\nKEY=3\r\nkey=4\r\n");
    EXPECT_EQ(ini.FindKeyInFile("Key"), (QStringList{"One", "Three"})); // each section once
    EXPECT_EQ(ini.FindKeyInFile("absent"), QStringList{QString()});
}

TEST_F(IniTest, WritesDeletesAndRenamesKeepTheRestOfTheFile) {
    bind();
    // A line break would add lines, even sections, to the file: refused with a message.
    EXPECT_FALSE(ini.WriteData("JOVURM", "Company", "Corner\r\n[Evil]\r\nx=1"));
    EXPECT_TRUE(boxes.texts().value(0).contains("line break"));
    boxes.clear();

    EXPECT_TRUE(ini.WriteData("daily reports", "PRINTER", "laser"));
    EXPECT_TRUE(ini.DeleteData("jovurm", "phone"));
    EXPECT_TRUE(ini.RenameSection("JOVURM", "Store"));
    EXPECT_TRUE(ini.RenameKey("daily reports", "Show", "Shown"));
    EXPECT_TRUE(ini.RenameSection("Empty", "Still Empty"));
    EXPECT_EQ(content(), QByteArray("; store settings\r\n[Daily Reports]\r\nPRINTER=laser\r\n"
                                    "some line the suite does not know\r\nShown=Yes\r\n"
                                    "[Store]\r\nCompany=Corner Shop\r\n[Still Empty]\r\n"));

    // A file that can no longer be written: the delete fails and the renames stop there.
    const QByteArray before = content();
    chmod(ini.File(), 0444);
    test::asOrdinaryUser(env, [&] {
        EXPECT_FALSE(ini.RenameSection("Store", "T"));
        EXPECT_FALSE(ini.RenameKey("Store", "Company", "z"));
    });
    EXPECT_EQ(content(), before);
    EXPECT_TRUE(boxes.boxes().isEmpty());
}

// A failing profile access shows the "INI Class" box with the operation's label, and the
// operation gives what it had.
TEST_F(IniTest, FailuresAreReportedWithTheOperationsLabel) {
    const QString path = bind();
    const QStringList none{QString()};
    const std::pair<const char*, std::function<bool()>> cases[] = {
        {"Write Date Class INI", [&] { return !ini.WriteData("JOVURM", "k", "v"); }},
        {"GetAllSections Class INI ", [&] { return ini.GetAllSections() == none; }},
        {"Get Value Class ini", [&] { return ini.getvalue("JOVURM", "Company", "d").isEmpty(); }},
        {"Find Key In Section Class INI", [&] { return !ini.FindKeyInSection("JOVURM", "k"); }}};
    detail::setIniFaultHook([] { throw detail::IniRuntimeError{70, "Denied"}; });
    for (const auto& [label, fellBack] : cases) {
        SCOPED_TRACE(label);
        boxes.clear();
        EXPECT_TRUE(fellBack());
        EXPECT_EQ(boxes.texts(),
                  QStringList{"Error Number: 70\rDenied\r\r" + QLatin1String(label)});
    }
    EXPECT_EQ(boxes.boxes().last().title, "INI Class");
    EXPECT_EQ(boxes.boxes().last().icon, MsgIcon::Critical);
    // A failed file check leaves the object unusable; a bad file name is no news.
    detail::setIniFaultHook([] { throw detail::IniRuntimeError{52, "Bad file"}; });
    ini.File_Name(path);
    EXPECT_FALSE(ini.FileOpen());
    EXPECT_TRUE(ini.File().isEmpty());
    boxes.clear();
    detail::setIniFaultHook([] { throw detail::IniRuntimeError{75, "Denied"}; });
    ini.File_Name(path);
    EXPECT_FALSE(ini.FileOpen());
    EXPECT_EQ(boxes.texts(), QStringList{"Error Number: 75\rDeniedCheckexist"});
}

} // namespace
