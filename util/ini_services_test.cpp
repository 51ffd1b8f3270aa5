#include "util/ini_services.h"

#include "testsupport/scripted_messages.h"
#include "testsupport/test_env.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tuple>

using namespace vx;
using test::TestEnv;
using Row = std::array<QString, 2>;

namespace {

class IniTest : public ::testing::Test {
  protected:
    void TearDown() override { detail::setIniFaultHook({}); }
    // A profile file with the given content, bound to `ini`.
    QString bind(const QByteArray& content) {
        const QString path = env.root() + "/data/JOV.INI";
        TestEnv::writeFile(path, content);
        ini.File_Name(path);
        return path;
    }

    TestEnv env;
    ScopedScriptedMessages boxes;
    clsINI_Services ini;
};

// The object works only on a file it can read and write; after a failed check it does nothing
// until a good file is named. A usable file is left as it was.
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
            ::chmod(QFile::encodeName(path), mode);
        }
        test::asOrdinaryUser(env, [&] { ini.File_Name(path); });
        EXPECT_EQ(ini.FileOpen(), usable);
        EXPECT_EQ(ini.File(), usable ? path : QString());
    }
    EXPECT_FALSE(ini.WriteData("A", "k", "v"));
    EXPECT_TRUE(ini.GetAllSections().isEmpty());
    EXPECT_EQ(TestEnv::readFile(data + "binary.ini"), binary);
    EXPECT_TRUE(boxes.boxes().isEmpty());

    TestEnv::writeFile(env.home() + "/TK/JOV.INI", "[A]\r\nx=1\r\n");
    ini.File_Name("C:\\TK\\JOV.INI"); // read in the home folder
    EXPECT_EQ(ini.File(), "C:\\TK\\JOV.INI");
    EXPECT_EQ(ini.getvalue("a", "X"), "1");
}

// Name lists hold the empty text as element 0 when there are no names; searches ignore case.
TEST_F(IniTest, ReadsAndSearches) {
    bind("[Dup]\r\nkey=first\r\nKEY=second\r\nPrinter=Laser\r\n[Q]\r\nprinter=laser\r\n"
         "[B]\r\n; note=not a key\r\nno key here\r\n");
    EXPECT_EQ(ini.GetAllSections(), (QStringList{"Dup", "Q", "B"}));
    EXPECT_EQ(ini.GetAllKeysInSection("dup"), (QStringList{"key", "KEY", "Printer"}));
    EXPECT_EQ(ini.GetAllKeysValuesInSection("Dup"),
              (QList<Row>{{"key", "first"}, {"KEY", "first"}, {"Printer", "Laser"}}));
    EXPECT_EQ(ini.GetAllKeysInSection("B"), QStringList{QString()});
    EXPECT_EQ(ini.GetAllKeysValuesInSection("B"), (QList<Row>{{"", ""}}));
    EXPECT_TRUE(ini.FindKeyInSection("Q", "PRINTER"));
    EXPECT_FALSE(ini.FindKeyInSection("Q", "key"));
    EXPECT_EQ(ini.FindKeyInFile("Key"), QStringList{"Dup"}); // each section once
    EXPECT_EQ(ini.FindKeyInFile("printer"), (QStringList{"Dup", "Q"}));
    EXPECT_EQ(ini.FindValueInSection("dup", "FIRST"), (QStringList{"key", "KEY"}));
    EXPECT_EQ(ini.FindValueInSection("Q", "no"), QStringList{QString()});
    EXPECT_EQ(ini.FindValueInFile("LASER"), (QStringList{"Dup|Printer", "Q|printer"}));
    bind("");
    EXPECT_EQ(ini.GetAllSections(), QStringList{QString()});
}

TEST_F(IniTest, WritesDeletesAndRenamesKeepTheRestOfTheFile) {
    bind("; store settings\r\n[JOVURM]\r\nCompany=Corner Shop\r\nPhone = 555 1234 \r\n\r\n"
         "[Daily Reports]\r\nShow=Yes\r\nPrinter=laser\r\nsome line the suite does not know\r\n"
         "[Empty]\r\n");
    // A line break would add lines, even sections, to the file: refused with a message.
    EXPECT_FALSE(ini.WriteData("JOVURM", "Company", "Corner\r\n[Evil]\r\nx=1"));
    EXPECT_TRUE(boxes.texts().value(0).contains("line break"));
    boxes.clear();

    EXPECT_TRUE(ini.WriteData("daily reports", "PRINTER", "ink"));
    EXPECT_TRUE(ini.DeleteData("jovurm", "phone"));
    EXPECT_TRUE(ini.RenameSection("JOVURM", "Store"));
    EXPECT_TRUE(ini.RenameKey("daily reports", "Show", "Shown"));
    EXPECT_TRUE(ini.RenameSection("Empty", "Still Empty"));
    const QByteArray after("; store settings\r\n[Daily Reports]\r\nPRINTER=ink\r\n"
                           "some line the suite does not know\r\nShown=Yes\r\n"
                           "[Store]\r\nCompany=Corner Shop\r\n[Still Empty]\r\n");
    EXPECT_EQ(TestEnv::readFile(ini.File()), after);

    // A file that can no longer be written: the delete fails and the renames stop there.
    ::chmod(QFile::encodeName(ini.File()), 0444);
    test::asOrdinaryUser(env, [&] {
        EXPECT_FALSE(ini.RenameSection("Store", "T"));
        EXPECT_FALSE(ini.RenameKey("Store", "Company", "z"));
    });
    EXPECT_EQ(TestEnv::readFile(ini.File()), after);
    EXPECT_TRUE(boxes.boxes().isEmpty());
}

// A failing profile access shows the "INI Class" box with the operation's label, and the
// operation gives what it had.
TEST_F(IniTest, FailuresAreReportedWithTheOperationsLabel) {
    const QString path = bind("[JOVURM]\r\nCompany=x\r\n");
    detail::setIniFaultHook([] { throw detail::IniRuntimeError{70, "Denied"}; });
    EXPECT_FALSE(ini.WriteData("JOVURM", "k", "v"));
    EXPECT_EQ(ini.GetAllSections(), QStringList{QString()});
    const QString error = "Error Number: 70\rDenied\r\r";
    EXPECT_EQ(boxes.texts(),
              (QStringList{error + "Write Date Class INI", error + "GetAllSections Class INI "}));
    EXPECT_EQ(boxes.boxes().last().title, "INI Class");
    EXPECT_EQ(boxes.boxes().last().icon, MsgIcon::Critical);
    // A failed file check leaves the object unusable; a bad file name is no news.
    for (const int number : {75, 52}) {
        boxes.clear();
        detail::setIniFaultHook([number] { throw detail::IniRuntimeError{number, "Denied"}; });
        ini.File_Name(path);
        EXPECT_FALSE(ini.FileOpen());
        EXPECT_TRUE(ini.File().isEmpty());
        EXPECT_EQ(boxes.texts(),
                  number == 52 ? QStringList() : QStringList{"Error Number: 75\rDeniedCheckexist"});
    }
}

} // namespace
