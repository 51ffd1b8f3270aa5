#include "reportspec/ui/frm_report_specs.h"

#include "reportspec/reports_common.h"
#include "runstate/runstate.h"
#include "tables/common.h"
#include "testsupport/scripted_messages.h"
#include "testsupport/test_env.h"

#include <QTest>
#include <QtWidgets>
#include <gtest/gtest.h>

namespace vx {
namespace {

using test::TestEnv;

class ReportSpecsTest : public ::testing::Test {
  protected:
    ReportSpecsTest() { env.setEnv("LC_ALL", "C"); }
    ~ReportSpecsTest() override { reset(); }
    // Fresh state with `line` as the file (none when null) and the company's date style.
    void reset(const char* line = nullptr, const char* useEurope = "U") {
        resetReportSpec();
        resetRunState();
        tables::common() = tables::CommonRec{};
        tables::common().USEurope = QString::fromUtf8(useEurope);
        runs = ends = 0;
        msgs.clear();
        QFile::remove(specPath());
        if (line)
            TestEnv::writeFile(specPath(), QByteArray(line) + "\r\n");
    }
    QString specPath() const { return env.programDir() + QStringLiteral("/RptVantrex.RSF"); }
    std::unique_ptr<frmReportSpecs> open() {
        auto dialog = std::make_unique<frmReportSpecs>(
            ReportSpecsHooks{[this] { ++runs, whileRunning(); }, [this] { ++ends; }});
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        return dialog;
    }
    static void type(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        widget->setFocus();
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }

    TestEnv env;
    ScopedScriptedMessages msgs;
    int runs = 0, ends = 0;
    std::function<void()> whileRunning = [] {};
};

TEST_F(ReportSpecsTest, OpeningShowsTheFileTheRunsDatesAndTheCompany) {
    const QDate today = QDate::currentDate(), yesterday = today.addDays(-1);
    const struct {
        const char *company, *useEurope, *line, *endDate, *shown; // company|title|subtitle
        QDate start, end;
    } cases[] = {
        // Not the file's company; no subtitle, no row for it; an open range ends yesterday.
        {"", "", "[COMPANY]Old[TITLE]Received[START]3/1/2024", "", "|Received|", QDate(2024, 3, 1),
         yesterday},
        // Dates saved day first, read where the month comes first.
        {"Shop", "E", "[TITLE]Received[SUBTITLE]All[START]25-12-2024", "31-12-2024",
         "Shop|Received|All", QDate(2024, 12, 25), QDate(2024, 12, 31)},
        {"Shop", "U", nullptr, "", "||", today, today},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        reset(c.line, c.useEurope);
        runState().gsCompanyName = QString::fromUtf8(c.company);
        runState().gsEndDate = QString::fromUtf8(c.endDate);
        auto d = open();
        EXPECT_EQ(d->txtReport[0]->text() + u'|' + d->txtReport[1]->text() + u'|' +
                      d->txtReport[2]->text(),
                  QLatin1String(c.shown));
        EXPECT_EQ(d->windowTitle(), d->txtReport[1]->text());
        EXPECT_FALSE(d->txtReport[0]->isEnabled() || d->txtReport[1]->isEnabled() ||
                     d->txtReport[2]->isEnabled() || d->txtReport[5]->isVisible());
        EXPECT_EQ(d->txtReport[2]->isVisible() && d->lblReport[2]->isVisible(), &c != cases);
        EXPECT_EQ(d->dtpStartDate->date(), c.start);
        EXPECT_EQ(d->dtpEndDate->date(), c.end);
        EXPECT_EQ(d->dtpEndDate->displayFormat(),
                  c.useEurope[0] == 'E' ? "dd/MM/yyyy" : "M/d/yyyy");
    }
}

TEST_F(ReportSpecsTest, ChangeOptionsAndAcceptSaveTheFileAndRunTheReport) {
    reset("[ID]0001[COMPANY]X[TITLE]Received[SUBTITLE]By Vendor[START]1/1/2024[DATES]2"
          "[PRIORS]Y[REG]R7[FILENAME]po.txt",
          "E");
    runState().gsCompanyName = QStringLiteral("Corner Hardware");
    auto dialog = open();
    dialog->dtpStartDate->setDate(QDate(2024, 3, 5));
    dialog->dtpEndDate->setDate(QDate(2024, 3, 31));
    type(dialog->cmdHelp, Qt::Key_C); // Change
    EXPECT_TRUE(dialog->txtReport[1]->isEnabled() && dialog->txtReport[2]->isEnabled());
    EXPECT_FALSE(dialog->txtReport[0]->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), dialog->txtReport[1]);
    // The command letters are typed into a box the user can edit like any other.
    QTest::keyClicks(dialog->txtReport[2], QStringLiteral(" XC"));
    QTest::keyClick(dialog->txtReport[2], 'X', Qt::ShiftModifier);
    EXPECT_EQ(dialog->txtReport[2]->text(), QStringLiteral("By Vendor XCX"));
    dialog->txtReport[2]->setText(QStringLiteral("March"));
    for (int option : {0, 1}) { // the range box of the option chosen last is saved
        QTest::mouseClick(dialog->Option1[option], Qt::LeftButton);
        EXPECT_TRUE(dialog->txtReport[5]->isVisible() && !dialog->txtReport[6]->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), dialog->txtReport[5]);
    }
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Adams-Cole"));
    type(dialog->txtReport[5], Qt::Key_F10);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(TestEnv::readFile(specPath()),
              "[ID]0001[COMPANY]Corner Hardware[TITLE]Received[SUBTITLE]March[START]05-03-2024"
              "[END]31-03-2024[DATES]2[SPEC3LABEL]Enter Last Name Range[SPEC3]Adams-Cole"
              "[SPEC4LABEL][SPEC4][PRIORS]Y[REG]R7[FILENAME]po.txt\r\n");
    tables::common().USEurope = QStringLiteral("U");           // month first from now on
    QTest::mouseClick(dialog->cmdOkCancel[0], Qt::LeftButton); // it stays for another run
    EXPECT_TRUE(runs == 2 && dialog->isVisible() && ends == 0 && msgs.boxes().isEmpty());
    EXPECT_TRUE(TestEnv::readFile(specPath()).contains("[START]03-05-2024[END]03-31-2024"));
    // No second run while one goes (it pumps events), none when the file cannot be saved.
    whileRunning = [&] { QTest::keyClick(dialog->cmdHelp, Qt::Key_F10); };
    type(dialog->cmdHelp, Qt::Key_F10);
    EXPECT_EQ(runs, 3);
    env.setEnv("JOV_PROGRAM_DIR", specPath() + QStringLiteral("/program"));
    dialog->cmdOkCancel[0]->click();
    EXPECT_EQ(runs, 3);
    EXPECT_EQ(msgs.boxes().size(), 1);
}

TEST_F(ReportSpecsTest, EveryWayOfClosingEndsTheProgramOnceAndF1Helps) {
    const std::function<void(frmReportSpecs&)> ways[] = {
        [](frmReportSpecs& d) { d.cmdOkCancel[1]->click(); },
        [](frmReportSpecs& d) { type(d.dtpStartDate, Qt::Key_X); },
        [](frmReportSpecs& d) { type(d.cmdHelp, Qt::Key_X, Qt::AltModifier); },
        [](frmReportSpecs& d) { d.close(); },
    };
    for (const auto& close : ways) {
        reset();
        auto dialog = open();
        close(*dialog);
        // Alt+X is the Exit button's letter: it clicks the button a moment later.
        EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog->isVisible(); })) << &close - ways;
        dialog->show(), dialog->close();
        EXPECT_TRUE(ends == 1 && runs == 0);
    }
    for (const char* dates : {"2", "1"}) { // the help names the date entries the report has
        reset((QByteArray("[TITLE]Received[DATES]") + dates).constData());
        type(open()->dtpEndDate, Qt::Key_F1);
        const QString text = msgs.texts().join(u'|');
        EXPECT_EQ(text.contains("\r\rStarting Date\r") && text.contains("\r\rEnding Date\r"),
                  dates[0] == '2');
        EXPECT_EQ(text.contains("\r\rDate\r"), dates[0] == '1');
    }
}

} // namespace
} // namespace vx
