#include "util/ini_services.h"

#include "platform/scripted_messages.h"
#include "testsupport/test_env.h"

#include <QFile>
#include <gtest/gtest.h>
#include <unistd.h>

namespace vx {
namespace {

using test::asOrdinaryUser;
using test::TestEnv;
using Row = std::array<QString, 2>;
using P = QFileDevice;

const QByteArray kSample =
    "; store settings\r\n[JOVURM]\r\nCompany=Corner Shop\r\n"
    "Phone = 555 1234 \r\n\r\n[Daily Reports]\r\nShow=Yes\r\n"
    "Printer=corner shop\r\nsome line the suite does not know\r\n[Empty]\r\n";

class IniTest : public ::testing::Test {
  protected:
    void TearDown() override { detail::setIniFaultHook({}); }
    // A profile file with the given content, bound to `ini`.
    QString bind(const QByteArray& content = kSample) {
        const QString path = env.root() + QStringLiteral("/data/JOV.INI");
        TestEnv::writeFile(path, content);
        ini.File_Name(path);
        return path;
    }
    QByteArray content() const { return TestEnv::readFile(ini.File()); }

    TestEnv env;
    ScopedScriptedMessages boxes;
    clsINI_Services ini;
};

TEST_F(IniTest, FileCheckAcceptsOnlyUsableFiles) {
    const QString data = env.mkdir(QStringLiteral("data")) + u'/';
    const QByteArray binaryBytes("\x00\x01\xff\xfe[\x00]\r\n\x7f=\x80", 13);
    const auto all = [](P::Permissions p) {
        return p | P::Permissions(p.toInt() >> 4) | P::Permissions(p.toInt() >> 8);
    };
    const struct {
        const char* name;
        QByteArray content;
        P::Permissions rights;
        bool usable;
    } cases[] = {
        {"good.ini", "[A]\r\n", all(P::ReadOwner | P::WriteOwner), true},
        {"binary.ini", binaryBytes, all(P::ReadOwner | P::WriteOwner), true},
        {"readonly.ini", "[A]\r\n", all(P::ReadOwner), true}, // read; only a write fails
        {"writeonly.ini", "[A]\r\n", all(P::WriteOwner), false},
    };
    for (const auto& c : cases) {
        TestEnv::writeFile(data + QLatin1String(c.name), c.content);
        QFile::setPermissions(data + QLatin1String(c.name), c.rights);
    }
    QStringList paths{QString(), data, data + QStringLiteral("missing.ini")};
    for (const auto& c : cases)
        paths << data + QLatin1String(c.name);
    for (qsizetype i = 0; i < paths.size(); ++i) {
        SCOPED_TRACE(paths[i].toStdString());
        const bool usable = i >= 3 && cases[i - 3].usable;
        asOrdinaryUser(env, [&] { ini.File_Name(paths[i]); });
        EXPECT_EQ(ini.FileOpen(), usable);
        EXPECT_EQ(ini.File(), usable ? paths[i] : QString());
    }
    asOrdinaryUser(env, [&] {
        ini.File_Name(data + QStringLiteral("readonly.ini"));
        EXPECT_EQ(ini.getvalue(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("d")),
                  QStringLiteral("d"));
        EXPECT_FALSE(ini.WriteData(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("v")));
    });
    EXPECT_EQ(TestEnv::readFile(data + QStringLiteral("readonly.ini")), "[A]\r\n");
    EXPECT_EQ(TestEnv::readFile(data + QStringLiteral("binary.ini")), binaryBytes); // untouched
    EXPECT_FALSE(QFile::exists(data + QStringLiteral("missing.ini")));
    EXPECT_TRUE(boxes.boxes().isEmpty());
}

TEST_F(IniTest, FailedCheckMakesObjectUnusableUntilAGoodFileIsNamed) {
    const QString path = bind();
    ini.File_Name(env.root() + QStringLiteral("/none.ini"));
    EXPECT_FALSE(ini.WriteData(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("v")));
    EXPECT_TRUE(ini.GetAllSections().isEmpty());
    // getvalue still reads, through the empty path, so it answers with the default.
    EXPECT_EQ(
        ini.getvalue(QStringLiteral("JOVURM"), QStringLiteral("Company"), QStringLiteral("d")),
        QStringLiteral("d"));
    EXPECT_FALSE(QFile::exists(env.root() + QStringLiteral("/none.ini")));

    ini.File_Name(path);
    EXPECT_TRUE(ini.WriteData(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("v")));
    EXPECT_EQ(ini.getvalue(QStringLiteral("a"), QStringLiteral("K")), QStringLiteral("v"));
}

TEST_F(IniTest, WindowsPathIsReadInTheHomeFolder) {
    TestEnv::writeFile(env.home() + QStringLiteral("/TK/JOV.INI"), "[A]\r\nx=1\r\n");
    ini.File_Name(QStringLiteral("C:\\TK\\JOV.INI"));
    EXPECT_EQ(ini.File(), QStringLiteral("C:\\TK\\JOV.INI"));
    EXPECT_EQ(ini.getvalue(QStringLiteral("A"), QStringLiteral("x")), QStringLiteral("1"));
}

TEST_F(IniTest, GetValue) {
    bind("[Dup]\r\nkey=first\r\nKEY=second\r\n[dup]\r\nother=x\r\n"
         "[Q]\r\nempty=\r\nlong=" +
         QByteArray(300, 'v') + "\r\n");
    const struct {
        const char *section, *key, *def, *expected;
    } cases[] = {
        {"DUP", "Key", "", "first"}, // names ignore case, the first match wins
        {"dup", "other", "d", "d"},  // only the first section of a name is read
        {"Q", "empty", "d", ""},     // an empty stored value is not the default
        {"Q", "missing", "dflt  ", "dflt"},
        {"Missing", "key", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(
            ini.getvalue(QLatin1String(c.section), QLatin1String(c.key), QLatin1String(c.def)),
            QLatin1String(c.expected));
    }
    // Only what fits the 255-character buffer before its terminator.
    EXPECT_EQ(ini.getvalue(QStringLiteral("Q"), QStringLiteral("long")), QString(254, u'v'));
}

TEST_F(IniTest, NameLists) {
    bind("[A]\r\nx=1\r\ny=2\r\n[B]\r\n; note=not a key\r\nno key here\r\n");
    EXPECT_EQ(ini.GetAllSections(), (QStringList{"A", "B"}));
    EXPECT_EQ(ini.GetAllKeysInSection(QStringLiteral("a")), (QStringList{"x", "y"}));
    EXPECT_EQ(ini.GetAllKeysInSection(QStringLiteral("B")), QStringList{QString()});
    EXPECT_EQ(ini.GetAllKeysValuesInSection(QStringLiteral("A")),
              (QList<Row>{{"x", "1"}, {"y", "2"}}));
    EXPECT_EQ(ini.GetAllKeysValuesInSection(QStringLiteral("B")), (QList<Row>{{"", ""}}));

    // 30 names of 9 characters are 300 with their terminators. The read keeps 253 characters
    // and the walk drops the last of them: 25 whole names and "S2" are left.
    QByteArray text;
    QStringList expected;
    for (int i = 0; i < 30; ++i) {
        const QString name = QStringLiteral("S%1______").arg(i, 2, 10, QChar(u'0'));
        text += '[' + name.toLatin1() + "]\r\n";
        expected << (i < 25 ? name : QString());
    }
    expected.resize(26);
    expected[25] = QStringLiteral("S2");
    bind(text);
    EXPECT_EQ(ini.GetAllSections(), expected);
    bind("");
    EXPECT_EQ(ini.GetAllSections(), QStringList{QString()});
}

TEST_F(IniTest, Searches) {
    bind();
    EXPECT_TRUE(ini.FindKeyInSection(QStringLiteral("JOVURM"), QStringLiteral("COMPANY")));
    EXPECT_FALSE(ini.FindKeyInSection(QStringLiteral("Daily Reports"), QStringLiteral("Company")));
    EXPECT_EQ(ini.FindValueInSection(QStringLiteral("daily reports"), QStringLiteral("YES")),
              QStringList{QStringLiteral("Show")});
    EXPECT_EQ(ini.FindValueInSection(QStringLiteral("JOVURM"), QStringLiteral("no")),
              QStringList{QString()});
    EXPECT_EQ(ini.FindValueInFile(QStringLiteral("CORNER SHOP")),
              (QStringList{"JOVURM|Company", "Daily Reports|Printer"}));
    EXPECT_EQ(ini.FindValueInFile(QStringLiteral("nowhere")), QStringList{QString()});

    bind("[One]\r\nkey=1\r\n[Two]\r\nother=2\r\n[Three]\r\nKEY=3\r\nkey=4\r\n");
    EXPECT_EQ(ini.FindKeyInFile(QStringLiteral("Key")), (QStringList{"One", "Three"}));
    EXPECT_EQ(ini.FindKeyInFile(QStringLiteral("absent")), QStringList{QString()});
}

TEST_F(IniTest, AValueWithALineBreakIsRefusedWithAMessage) {
    bind();
    EXPECT_FALSE(ini.WriteData(QStringLiteral("JOVURM"), QStringLiteral("Company"),
                               QStringLiteral("Corner\r\n[Evil]\r\nx=1")));
    EXPECT_EQ(content(), kSample);
    ASSERT_EQ(boxes.texts().size(), 1);
    EXPECT_TRUE(boxes.texts().first().contains(QStringLiteral("line break")));
}

TEST_F(IniTest, WritesAndDeletesKeepTheRestOfTheFile) {
    bind();
    EXPECT_TRUE(ini.WriteData(QStringLiteral("daily reports"), QStringLiteral("PRINTER"),
                              QStringLiteral("laser")));
    EXPECT_TRUE(ini.WriteData(QStringLiteral("New"), QStringLiteral("k"), QStringLiteral("v")));
    EXPECT_TRUE(ini.DeleteData(QStringLiteral("jovurm"), QStringLiteral("phone")));
    EXPECT_TRUE(ini.DeleteData(QStringLiteral("Empty")));
    EXPECT_EQ(content(), QByteArray("; store settings\r\n[JOVURM]\r\nCompany=Corner Shop\r\n\r\n"
                                    "[Daily Reports]\r\nShow=Yes\r\nPRINTER=laser\r\n"
                                    "some line the suite does not know\r\n[New]\r\nk=v\r\n"));
}

TEST_F(IniTest, Renames) {
    bind("[Old]\r\na=1\r\nb=2\r\n[Empty]\r\n[Other]\r\nc=3\r\n");
    EXPECT_TRUE(ini.RenameSection(QStringLiteral("OLD"), QStringLiteral("New")));
    EXPECT_TRUE(ini.RenameSection(QStringLiteral("Empty"), QStringLiteral("Still Empty")));
    EXPECT_TRUE(ini.RenameKey(QStringLiteral("other"), QStringLiteral("C"), QStringLiteral("d")));
    EXPECT_EQ(content(), QByteArray("[Other]\r\nd=3\r\n[New]\r\na=1\r\nb=2\r\n[Still Empty]\r\n"));

    // A file that can no longer be written: the delete fails and the renames stop there.
    QFile::setPermissions(ini.File(), P::ReadOwner | P::ReadGroup | P::ReadOther);
    asOrdinaryUser(env, [&] {
        EXPECT_FALSE(ini.RenameSection(QStringLiteral("New"), QStringLiteral("T")));
        EXPECT_FALSE(
            ini.RenameKey(QStringLiteral("New"), QStringLiteral("a"), QStringLiteral("z")));
    });
    EXPECT_EQ(content(), QByteArray("[Other]\r\nd=3\r\n[New]\r\na=1\r\nb=2\r\n[Still Empty]\r\n"));
    EXPECT_TRUE(boxes.boxes().isEmpty());
}

// Every operation reports a failing profile access with its own label and gives what it had.
TEST_F(IniTest, FailuresAreReportedWithTheOperationsLabel) {
    bind();
    const QString s = QStringLiteral("JOVURM"), k = QStringLiteral("Company");
    const QStringList none{QString()};
    const struct {
        const char* label;
        std::function<bool(clsINI_Services&)> fellBack;
    } cases[] = {
        {"Write Date Class INI", [&](auto& i) { return !i.WriteData(s, k, k); }},
        {"Delete Data Class INI", [&](auto& i) { return !i.DeleteData(s, k); }},
        {"GetAllSections Class INI ", [&](auto& i) { return i.GetAllSections() == none; }},
        {"KeysIn Section Class INI", [&](auto& i) { return i.GetAllKeysInSection(s) == none; }},
        {"Get All KeyValues Class INI",
         [&](auto& i) { return i.GetAllKeysValuesInSection(s).isEmpty(); }},
        {"Get Value Class ini", [&](auto& i) { return i.getvalue(s, k, k).isEmpty(); }},
        {"Find Key IN File Class ini", [&](auto& i) { return i.FindKeyInFile(k) == none; }},
        {"Find Key In Section Class INI", [&](auto& i) { return !i.FindKeyInSection(s, k); }},
        {"Find Value in Section", [&](auto& i) { return i.FindValueInSection(s, k) == none; }},
    };
    detail::setIniFaultHook([] { throw detail::IniRuntimeError{70, QStringLiteral("Denied")}; });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        boxes.clear();
        EXPECT_TRUE(c.fellBack(ini));
        ASSERT_EQ(boxes.boxes().size(), 1);
        EXPECT_EQ(boxes.boxes()[0].text, "Error Number: 70\rDenied\r\r" + QLatin1String(c.label));
        EXPECT_EQ(boxes.boxes()[0].title, QStringLiteral("INI Class"));
        EXPECT_EQ(boxes.boxes()[0].icon, MsgIcon::Critical);
    }

    // Halfway: the key list and the first value were read when the second value failed.
    int calls = 0;
    detail::setIniFaultHook([&] {
        if (++calls == 3)
            throw detail::IniRuntimeError{70, QStringLiteral("Denied")};
    });
    EXPECT_EQ(ini.GetAllKeysValuesInSection(s),
              (QList<Row>{{"Company", "Corner Shop"}, {"Phone", ""}}));
}

TEST_F(IniTest, FileCheckFailure) {
    const QString path = bind();
    detail::setIniFaultHook([] { throw detail::IniRuntimeError{52, QStringLiteral("Bad file")}; });
    ini.File_Name(path);
    EXPECT_FALSE(ini.FileOpen());
    EXPECT_TRUE(ini.File().isEmpty());
    EXPECT_TRUE(boxes.boxes().isEmpty()); // a bad file name is no news

    detail::setIniFaultHook([] { throw detail::IniRuntimeError{75, QStringLiteral("Denied")}; });
    ini.File_Name(path);
    EXPECT_FALSE(ini.FileOpen());
    EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("Error Number: 75\rDeniedCheckexist")});
    EXPECT_EQ(gsIniErrorText(5, QStringLiteral("x"), QString()),
              QStringLiteral("Error Number: 5\rx"));
}

} // namespace
} // namespace vx
