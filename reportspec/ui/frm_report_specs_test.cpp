#include "reportspec/ui/frm_report_specs.h"

#include "platform/scripted_messages.h"
#include "reportspec/reports_common.h"
#include "runstate/runstate.h"
#include "tables/common.h"
#include "testsupport/test_env.h"

#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace vx {
namespace {

using test::TestEnv;

class ReportSpecsTest : public ::testing::Test {
  protected:
    ReportSpecsTest() {
        env.setEnv("LC_ALL", "C");
        resetAll();
    }
    ~ReportSpecsTest() override { resetAll(); }
    void resetAll() {
        resetReportSpec();
        resetRunState();
        tables::common() = tables::CommonRec{};
        runs = ends = 0;
        msgs.clear();
    }
    QString specPath() const { return env.programDir() + QStringLiteral("/RptVantrex.RSF"); }
    void writeSpec(const QByteArray& line) const { TestEnv::writeFile(specPath(), line + "\r\n"); }

    // The dialog, shown, counting the runs and ends it asks for.
    std::unique_ptr<frmReportSpecs> open() {
        auto dialog = std::make_unique<frmReportSpecs>(
            ReportSpecsHooks{[this] { ++runs; }, [this] { ++ends; }});
        dialog->show();
        return dialog;
    }

    TestEnv env;
    ScopedScriptedMessages msgs;
    int runs = 0, ends = 0;
};

TEST_F(ReportSpecsTest, Opening) {
    const QDate today = QDate::currentDate();
    const struct {
        const char *name, *company, *useEurope, *line, *startDate, *endDate, *companyBox;
        bool subtitleShown;
        QDate start, end;
        const char* format;
    } cases[] = {
        {"us", "Corner Hardware", "U", "[TITLE]Received[SUBTITLE]By Vendor[START]03/01/2024", "",
         "4/30/2024", "Corner Hardware", true, QDate(2024, 3, 1), QDate(2024, 4, 30), "M/d/yyyy"},
        // The file's company is never shown; an empty subtitle hides its row; an open range ends
        // yesterday.
        {"no company", "", "", "[COMPANY]Old[TITLE]Received[START]3/1/2024", "", "", "", false,
         QDate(2024, 3, 1), today.addDays(-1), "M/d/yyyy"},
        // Dates saved day first, read where the month comes first.
        {"european", "Shop", "E", "[TITLE]Received[SUBTITLE]All[START]25-12-2024", "", "31-12-2024",
         "Shop", true, QDate(2024, 12, 25), QDate(2024, 12, 31), "dd/MM/yyyy"},
        {"no file", "Shop", "U", nullptr, "", "", "", true, today, today, "M/d/yyyy"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        resetAll();
        QFile::remove(specPath());
        if (c.line)
            writeSpec(c.line);
        runState().gsCompanyName = QString::fromUtf8(c.company);
        runState().gsStartDate = QString::fromUtf8(c.startDate);
        runState().gsEndDate = QString::fromUtf8(c.endDate);
        tables::common().USEurope = QString::fromUtf8(c.useEurope);
        auto dialog = open();

        EXPECT_EQ(dialog->txtReport[0]->text(), QString::fromUtf8(c.companyBox));
        EXPECT_EQ(dialog->txtReport[1]->text(), reportSpec().gsReportTitle);
        EXPECT_EQ(dialog->txtReport[2]->text(), reportSpec().gsReportSubtitle);
        EXPECT_EQ(dialog->windowTitle(), reportSpec().gsReportTitle);
        for (int i : {0, 1, 2})
            EXPECT_FALSE(dialog->txtReport[i]->isEnabled()) << i;
        EXPECT_EQ(dialog->txtReport[2]->isVisible(), c.subtitleShown);
        EXPECT_EQ(dialog->lblReport[2]->isVisible(), c.subtitleShown);
        for (int i : {5, 6})
            EXPECT_FALSE(dialog->txtReport[i]->isVisible() || dialog->lblReport[i]->isVisible());
        EXPECT_FALSE(dialog->Option1[0]->isChecked() || dialog->Option1[1]->isChecked());
        EXPECT_EQ(dialog->dtpStartDate->date(), c.start);
        EXPECT_EQ(dialog->dtpEndDate->date(), c.end);
        EXPECT_EQ(dialog->dtpStartDate->displayFormat(), QString::fromUtf8(c.format));
        EXPECT_EQ(dialog->dtpEndDate->displayFormat(), QString::fromUtf8(c.format));
    }
}

TEST_F(ReportSpecsTest, ChangeAndOptionsOpenTheirFields) {
    writeSpec("[TITLE]Received[SUBTITLE]By Vendor");
    for (bool byKey : {false, true}) {
        SCOPED_TRACE(byKey ? "key C" : "button");
        auto dialog = open();
        if (byKey)
            QTest::keyClick(dialog->cmdHelp, Qt::Key_C);
        else
            QTest::mouseClick(dialog->cmdChange, Qt::LeftButton);
        EXPECT_TRUE(dialog->txtReport[1]->isEnabled() && dialog->txtReport[2]->isEnabled());
        EXPECT_FALSE(dialog->txtReport[0]->isEnabled());
        EXPECT_EQ(dialog->focusWidget(), dialog->txtReport[1]);
        // The letters of the commands are typed into an editable box like any other.
        dialog->txtReport[1]->clear();
        QTest::keyClicks(dialog->txtReport[1], QStringLiteral("Xmas Clearance"));
        QTest::keyClick(dialog->txtReport[1], 'X', Qt::ShiftModifier);
        EXPECT_EQ(dialog->txtReport[1]->text(), QStringLiteral("Xmas ClearanceX"));
        EXPECT_TRUE(dialog->isVisible() && ends == 0 && msgs.boxes().isEmpty());

        for (int option : {1, 0}) {
            QTest::mouseClick(dialog->Option1[option], Qt::LeftButton);
            EXPECT_TRUE(dialog->txtReport[5]->isVisible() && dialog->lblReport[5]->isVisible());
            EXPECT_EQ(dialog->lblReport[5]->text(),
                      option == 0 ? "Enter AR Code Range" : "Enter Last Name Range");
            EXPECT_EQ(dialog->focusWidget(), dialog->txtReport[5]);
            EXPECT_FALSE(dialog->txtReport[6]->isVisible());
        }
    }
}

TEST_F(ReportSpecsTest, AcceptSavesTheSpecificationAndRunsTheReport) {
    const struct {
        const char *useEurope, *start, *end, *end2;
    } cases[] = {{"E", "05-03-2024", "31-03-2024", "01-04-2024"},
                 {"U", "03-05-2024", "03-31-2024", "04-01-2024"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.useEurope);
        resetAll();
        tables::common().USEurope = QString::fromUtf8(c.useEurope);
        runState().gsCompanyName = QStringLiteral("Corner Hardware");
        writeSpec("[ID]0001[COMPANY]X[TITLE]Received[SUBTITLE]By Vendor[START]1/1/2024[DATES]2"
                  "[PRIORS]Y[REG]R7[FILENAME]po.txt");
        auto dialog = open();
        dialog->dtpStartDate->setDate(QDate(2024, 3, 5));
        dialog->dtpEndDate->setDate(QDate(2024, 3, 31));
        QTest::mouseClick(dialog->cmdChange, Qt::LeftButton);
        dialog->txtReport[2]->clear();
        QTest::keyClicks(dialog->txtReport[2], QStringLiteral("March"));
        QTest::mouseClick(dialog->Option1[1], Qt::LeftButton);
        QTest::keyClicks(dialog->txtReport[5], QStringLiteral("Adams-Cole"));
        QTest::keyClick(dialog->txtReport[5], Qt::Key_F10);

        EXPECT_EQ(dialog->statusText(), QStringLiteral("Status: Setting Up Report"));
        EXPECT_EQ(runs, 1);
        EXPECT_EQ(runState().gsStartDate, QString::fromUtf8(c.start));
        EXPECT_EQ(TestEnv::readFile(specPath()),
                  QByteArray("[ID]0001[COMPANY]Corner Hardware[TITLE]Received[SUBTITLE]March"
                             "[START]") +
                      c.start + "[END]" + c.end +
                      "[DATES]2[SPEC3LABEL]Enter Last Name Range[SPEC3]Adams-Cole"
                      "[SPEC4LABEL][SPEC4][PRIORS]Y[REG]R7[FILENAME]po.txt\r\n");

        // The dialog stays for another run with other values.
        dialog->dtpEndDate->setDate(QDate(2024, 4, 1));
        QTest::mouseClick(dialog->cmdOkCancel[0], Qt::LeftButton);
        EXPECT_EQ(runs, 2);
        EXPECT_TRUE(TestEnv::readFile(specPath()).contains(QByteArray("[END]") + c.end2));
        EXPECT_TRUE(dialog->isVisible() && ends == 0);
    }
}

TEST_F(ReportSpecsTest, NoRunWhenTheSaveFailsOrARunIsGoing) {
    frmReportSpecs* self = nullptr;
    // Accept pressed again while the report is being built.
    frmReportSpecs dialog({[&] {
        ++runs;
        QTest::keyClick(self->cmdHelp, Qt::Key_F10);
    }});
    self = &dialog;
    dialog.show();
    QTest::keyClick(dialog.cmdHelp, Qt::Key_F10);
    EXPECT_EQ(runs, 1);

    // The program folder is a file: the specification cannot be saved.
    TestEnv::writeFile(env.root() + QStringLiteral("/plain"), "x");
    env.setEnv("JOV_PROGRAM_DIR", env.root() + QStringLiteral("/plain"));
    dialog.cmdOkCancel[0]->click();
    EXPECT_EQ(runs, 1);
    ASSERT_EQ(msgs.boxes().size(), 1);
    EXPECT_EQ(msgs.boxes()[0].icon, MsgIcon::Critical);
}

TEST_F(ReportSpecsTest, EveryWayOfClosingEndsTheProgramOnce) {
    const struct {
        const char* name;
        std::function<void(frmReportSpecs&)> act;
    } cases[] = {
        {"Exit button", [](frmReportSpecs& d) { d.cmdOkCancel[1]->click(); }},
        {"X in a picker", [](frmReportSpecs& d) { QTest::keyClick(d.dtpStartDate, Qt::Key_X); }},
        {"Alt+X", [](frmReportSpecs& d) { QTest::keyClick(&d, Qt::Key_X, Qt::AltModifier); }},
        {"window closed", [](frmReportSpecs& d) { d.close(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ends = 0;
        auto dialog = open();
        c.act(*dialog);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(ends, 1);
        dialog->show();
        dialog->close();
        EXPECT_EQ(ends, 1);
        EXPECT_EQ(runs, 0);
    }
}

TEST_F(ReportSpecsTest, HelpNamesTheDateEntriesOfTheReport) {
    const QString head =
        "Report Version: " + productVersion() +
        "\r\rCompany\rComes from the JOV Report Manager. It cannot be changed here.\r\r"
        "Title\rThe title prints just under the Company on each page of the report.\r\r"
        "Subtitle\rThe subtitle prints just under the Title on each page of the report.\r\r";
    const QString tail =
        "Change Button\rEnables the report Title fields so you can make changes.\r\r"
        "OK Button\rSaves any changes to the report specification and starts the report.\r\r"
        "Exit Button\rExit the report and returns to the JOV Report Manager.";
    const struct {
        const char *dates, *entries;
    } cases[] = {
        {"2", "Starting Date\rInclude data on the report on or after this date. The defaul is "
              "the last date entered.\r\rEnding Date\rInclude data on the report on or before "
              "this date.  The defaul is the current date.\r\r"},
        {"1", "Date\rInclude data on the report starting with this date.\r\r"},
        {"0", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dates);
        resetAll();
        writeSpec(QByteArray("[TITLE]Received[DATES]") + c.dates);
        auto dialog = open();
        QTest::keyClick(dialog->dtpEndDate, Qt::Key_F1);
        ASSERT_EQ(msgs.boxes().size(), 1);
        const RecordedBox& box = msgs.boxes()[0];
        EXPECT_EQ(box.text, head + QString::fromUtf8(c.entries) + tail);
        EXPECT_EQ(box.title, QStringLiteral("JOV Report Help"));
        EXPECT_EQ(box.icon, MsgIcon::Information);
        EXPECT_EQ(box.buttons, MsgButtons::Ok);
    }
}

} // namespace
} // namespace vx
