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
    // The dialog, shown and active, counting the runs and ends it asks for.
    std::unique_ptr<frmReportSpecs> open() {
        auto dialog = std::make_unique<frmReportSpecs>(
            ReportSpecsHooks{[this] { ++runs; }, [this] { ++ends; }});
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        return dialog;
    }
    // A key typed into `widget` once it has the focus.
    static void type(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        widget->setFocus();
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }

    TestEnv env;
    ScopedScriptedMessages msgs;
    int runs = 0, ends = 0;
};

TEST_F(ReportSpecsTest, OpeningShowsTheFileTheRunsDatesAndTheCompany) {
    const QDate today = QDate::currentDate(), yesterday = today.addDays(-1);
    const struct {
        const char *company, *useEurope, *line, *endDate;
        QDate start, end;
    } cases[] = {
        {"Corner", "U", "[TITLE]Received[SUBTITLE]By Vendor[START]03/01/2024", "4/30/2024",
         QDate(2024, 3, 1), QDate(2024, 4, 30)},
        // The file's company is never shown; no subtitle hides its row; an open range ends
        // yesterday.
        {"", "", "[COMPANY]Old[TITLE]Received[START]3/1/2024", "", QDate(2024, 3, 1), yesterday},
        // Dates saved day first, read where the month comes first.
        {"Shop", "E", "[TITLE]Received[SUBTITLE]All[START]25-12-2024", "31-12-2024",
         QDate(2024, 12, 25), QDate(2024, 12, 31)},
        {"Shop", "U", nullptr, "", today, today},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.company);
        reset(c.line, c.useEurope);
        runState().gsCompanyName = QString::fromUtf8(c.company);
        runState().gsEndDate = QString::fromUtf8(c.endDate);
        auto d = open();
        const ReportSpec& spec = reportSpec();
        EXPECT_EQ(d->txtReport[0]->text() + u'|' + d->txtReport[1]->text() + u'|' +
                      d->txtReport[2]->text() + u'|' + d->windowTitle(),
                  (c.line ? QString::fromUtf8(c.company) : QString()) + u'|' + spec.gsReportTitle +
                      u'|' + spec.gsReportSubtitle + u'|' + spec.gsReportTitle);
        EXPECT_FALSE(d->txtReport[0]->isEnabled() || d->txtReport[1]->isEnabled() ||
                     d->txtReport[2]->isEnabled() || d->txtReport[5]->isVisible());
        EXPECT_EQ(d->txtReport[2]->isVisible() && d->lblReport[2]->isVisible(), &c != cases + 1);
        EXPECT_EQ(d->dtpStartDate->date(), c.start);
        EXPECT_EQ(d->dtpEndDate->date(), c.end);
        EXPECT_EQ(d->dtpEndDate->displayFormat(),
                  c.useEurope[0] == 'E' ? "dd/MM/yyyy" : "M/d/yyyy");
    }
}

TEST_F(ReportSpecsTest, ChangeOptionsAndAcceptSaveTheFileAndRunTheReport) {
    for (const char* style : {"E", "U"}) {
        SCOPED_TRACE(style);
        reset("[ID]0001[COMPANY]X[TITLE]Received[SUBTITLE]By Vendor[START]1/1/2024[DATES]2"
              "[PRIORS]Y[REG]R7[FILENAME]po.txt",
              style);
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
        const bool europe = style[0] == 'E';
        EXPECT_EQ(
            TestEnv::readFile(specPath()),
            "[ID]0001[COMPANY]Corner Hardware[TITLE]Received[SUBTITLE]March[START]" +
                QByteArray(europe ? "05-03-2024[END]31-03-2024" : "03-05-2024[END]03-31-2024") +
                "[DATES]2[SPEC3LABEL]Enter Last Name Range[SPEC3]Adams-Cole"
                "[SPEC4LABEL][SPEC4][PRIORS]Y[REG]R7[FILENAME]po.txt\r\n");
        QTest::mouseClick(dialog->cmdOkCancel[0], Qt::LeftButton); // it stays for another run
        EXPECT_TRUE(runs == 2 && dialog->isVisible() && ends == 0 && msgs.boxes().isEmpty());
    }
    // No second run while one goes (it pumps events), none when the file cannot be saved.
    frmReportSpecs* self = nullptr;
    frmReportSpecs dialog({[&] { ++runs, QTest::keyClick(self->cmdHelp, Qt::Key_F10); }});
    self = &dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    type(dialog.cmdHelp, Qt::Key_F10);
    EXPECT_EQ(runs, 3);
    env.setEnv("JOV_PROGRAM_DIR", specPath() + QStringLiteral("/program"));
    dialog.cmdOkCancel[0]->click();
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
        dialog->show();
        dialog->close();
        EXPECT_EQ(ends, 1);
        EXPECT_EQ(runs, 0);
    }
    // The help names the date entries the report has.
    for (const char* dates : {"2", "1", "0"}) {
        reset((QByteArray("[TITLE]Received[DATES]") + dates).constData());
        type(open()->dtpEndDate, Qt::Key_F1);
        ASSERT_EQ(msgs.boxes().size(), 1);
        const QString text = msgs.boxes()[0].text;
        EXPECT_EQ(text.contains("\r\rStarting Date\r") && text.contains("\r\rEnding Date\r"),
                  dates[0] == '2');
        EXPECT_EQ(text.contains("\r\rDate\r"), dates[0] == '1');
    }
}

} // namespace
} // namespace vx
