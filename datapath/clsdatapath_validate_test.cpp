#include "datapath/clsdatapath.h"

#include "datapath/testing/datapath_testing.h"
#include "platform/messages.h"

#include <QFile>
#include <QFileInfo>
#include <vector>

namespace vx {
namespace {

class ValidateTest : public test::DataPathTest {
  protected:
    clsDataPath dp;
};

#define BROWSE "\r\rUse the Browse method to find a valid path."

enum Options : unsigned { None = 0, StationPathOn = 1, Supress = 2 };

struct ValidateCase {
    const char* name;
    const char* station;
    unsigned options;
    const char* existing;  // what exists in the case's folder: folders end in "/"
    const char* checkFile; // the CheckFile property
    // expected: FieldKey, the validation message (empty: valid), Station afterwards
    const char* fieldKey;
    const char* message;
    const char* stationAfter;
};

// clang-format off
const ValidateCase kValidateCases[] = {
    {"all good", "2", None, "TK/", "", "", "", "2"},
    {"station above maximum corrected", "60", None, "TK/", "", "STATION", "", "1"},
    {"station read from its leading digits", "60abc", None, "TK/", "", "STATION", "", "1"},
    {"station without a number passes", "abc", None, "TK/", "", "", "", "abc"},
    {"correction undone by a failure", "60", None, "", "", "DATAPATH",
     "Data Path Not Found." BROWSE, "60"},
    {"missing data path", "2", None, "", "", "DATAPATH", "Data Path Not Found." BROWSE, "2"},
    {"missing station path comes first", "2", StationPathOn, "", "", "STATIONPATH",
     "Station Path Not Found." BROWSE, "2"},
    {"station file missing", "2", StationPathOn, "ST/STA1.JOV TK/", "", "STATIONPATH",
     "Station 2 not in Station Path.\r\rSelect another Station or change the Station Path.", "2"},
    {"station file present", "2", StationPathOn, "ST/STA2.JOV TK/", "", "", "", "2"},
    {"file of the corrected station", "60", StationPathOn, "ST/STA1.JOV TK/", "", "STATION", "",
     "1"},
    {"station file not looked for", "2", StationPathOn | Supress, "ST/ TK/", "", "", "", "2"},
    {"primary file missing", "2", None, "TK/OTHER.DAT", "JOVDATA.DAT", "DATAPATH",
     "Primary Data File Not Found.\r\rThere is no 'JOVDATA.DAT' file in the specified data path.",
     "2"},
    {"primary file in another case", "2", None, "TK/jovdata.dat", "JOVDATA.DAT", "", "", "2"},
    {"primary file by pattern", "2", None, "TK/jovdata.dat", "*.DAT", "", "", "2"},
    {"primary file not looked for", "2", Supress, "TK/", "JOVDATA.DAT", "", "", "2"},
};
// clang-format on

TEST_F(ValidateTest, Table) {
    int n = 0;
    for (const bool quiet : {false, true}) {
        for (const ValidateCase& c : kValidateCases) {
            SCOPED_TRACE(std::string(c.name) + (quiet ? " (quiet)" : ""));
            msgs.clear();
            const QString folder = QStringLiteral("case%1").arg(++n);
            for (const QString& item :
                 QString::fromLatin1(c.existing).split(u' ', Qt::SkipEmptyParts)) {
                if (item.endsWith(u'/'))
                    winDir(folder + u'/' + item);
                else
                    test::TestEnv::writeFile(homePath(folder + u'/' + item), "");
            }
            const QString stationPath = QStringLiteral("C:\\%1\\ST").arg(folder);
            const QString dataPath = QStringLiteral("C:\\%1\\TK").arg(folder);
            dp = clsDataPath();
            dp.setMaxStations(50);
            dp.setNetwork(true);
            dp.setStation(QLatin1String(c.station));
            dp.setStationPathEnabled(c.options & StationPathOn);
            dp.setSupressFileCheck(c.options & Supress);
            dp.setStationPath(stationPath);
            dp.setDataPath(dataPath);
            dp.setCheckFile(QLatin1String(c.checkFile));

            const bool valid = *c.message == 0;
            EXPECT_EQ(dp.Validate(quiet), valid);
            EXPECT_EQ(dp.Valid(), valid);
            EXPECT_EQ(dp.FieldKey(), QLatin1String(c.fieldKey));
            EXPECT_EQ(dp.Station(), QLatin1String(c.stationAfter));
            EXPECT_EQ(dp.StationPath(), stationPath);
            EXPECT_EQ(dp.DataPath(), dataPath);
            if (valid || quiet) {
                EXPECT_TRUE(msgs.boxes().isEmpty());
            } else {
                ASSERT_EQ(msgs.boxes().size(), 1);
                const RecordedBox& box = msgs.boxes().front();
                EXPECT_EQ(box.text, QLatin1String(c.message));
                EXPECT_EQ(box.title, "Validation");
                EXPECT_EQ(box.icon, MsgIcon::Information);
                EXPECT_EQ(box.buttons, MsgButtons::Ok);
            }
        }
    }
}

TEST_F(ValidateTest, CreatePathQuestion) {
    struct Case {
        const char* name;
        bool stationPathEnabled;
        const char* path; // the missing folder, the Windows way
        MsgAnswer answer;
        bool valid;
        const char* fieldKey;
        const char* question;
    };
    const std::vector<Case> cases = {
        {"data, yes", false, "C:\\NewData\\", MsgAnswer::Yes, true, "",
         "C:\\NewData\\\rData Path Does Not Exist\rDo you want to create it?"},
        {"data, no", false, "C:\\NewData", MsgAnswer::No, false, "DATAPATH",
         "C:\\NewData\rData Path Does Not Exist\rDo you want to create it?"},
        {"station, yes", true, "C:\\NewData", MsgAnswer::Yes, true, "",
         "C:\\NewData\rStation Path Does Not Exist\rDo you want to create it?"},
        {"station, no", true, "C:\\NewData", MsgAnswer::No, false, "STATIONPATH",
         "C:\\NewData\rStation Path Does Not Exist\rDo you want to create it?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        msgs.clear();
        QDir(homePath(QStringLiteral("NewData"))).removeRecursively();
        const QString existing = winDir(QStringLiteral("TK"));
        dp = clsDataPath();
        dp.setCreatePath(true);
        dp.setSupressFileCheck(true);
        dp.setStationPathEnabled(c.stationPathEnabled);
        dp.setStationPath(c.stationPathEnabled ? QLatin1String(c.path) : existing);
        dp.setDataPath(c.stationPathEnabled ? existing : QLatin1String(c.path));
        msgs.answer(c.answer);

        EXPECT_EQ(dp.Validate(false), c.valid);
        EXPECT_EQ(dp.FieldKey(), QLatin1String(c.fieldKey));
        EXPECT_EQ(QFileInfo(homePath(QStringLiteral("NewData"))).isDir(), c.valid);
        ASSERT_GE(msgs.boxes().size(), 1);
        const RecordedBox& question = msgs.boxes().front();
        EXPECT_EQ(question.text, QLatin1String(c.question));
        EXPECT_EQ(question.buttons, MsgButtons::YesNo);
        EXPECT_EQ(question.title, productName());
        // After No only the validation message follows.
        EXPECT_EQ(msgs.boxes().size(), c.valid ? 1 : 2);
    }
}

TEST_F(ValidateTest, WithoutCreatePathNothingIsAsked) {
    dp.setDataPath(QStringLiteral("C:\\NewData"));
    EXPECT_FALSE(dp.Validate(false));
    EXPECT_EQ(msgs.texts(), QStringList{QStringLiteral("Data Path Not Found." BROWSE)});
}

TEST_F(ValidateTest, FolderThatCannotBeCreated) {
    dp.setCreatePath(true);
    dp.setDataPath(QStringLiteral("C:\\No\\Such\\Folder"));
    msgs.answer(MsgAnswer::Yes);
    EXPECT_FALSE(dp.Validate(false));
    EXPECT_EQ(dp.FieldKey(), "DATAPATH");
    const QList<RecordedBox>& boxes = msgs.boxes();
    ASSERT_GE(boxes.size(), 3); // question, at least one failure, validation message
    const RecordedBox& failure = boxes.at(1);
    EXPECT_TRUE(failure.text.startsWith(QStringLiteral("Unable To Create Path\r")));
    EXPECT_GT(failure.text.size(), QStringLiteral("Unable To Create Path\r").size());
    EXPECT_EQ(failure.icon, MsgIcon::Critical);
    EXPECT_EQ(failure.title, productName());
    EXPECT_EQ(boxes.back().text, QStringLiteral("Data Path Not Found." BROWSE));
}

TEST_F(ValidateTest, AFolderTheUserCannotUseIsSaidSo) {
    // Readable, not writable: the report could read the store but not write its files.
    const QString folder = env.mkdir(QStringLiteral("home/ReadOnly"));
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                      QFileDevice::ReadOther | QFileDevice::ExeOther);
    dp.setDataPath(QStringLiteral("C:\\ReadOnly"));
    bool valid = true;
    test::asOrdinaryUser(env, [&] { valid = dp.Validate(false); });
    EXPECT_FALSE(valid);
    EXPECT_EQ(msgs.texts(),
              QStringList{QStringLiteral("Data Path cannot be used.\r\rYou may not read and write "
                                         "in C:\\ReadOnly. Ask whoever looks after this "
                                         "computer for the right, or choose another path.")});
}

} // namespace
} // namespace vx
