// The progress window offscreen: its texts, and which ways of closing it ask the report to stop.
#include "output/progress_ui/frm_report_progress.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace vx::output {
namespace {

TEST(ReportProgressWindow, EveryWayOfCancellingAsksTheReportToStopButUnloadingDoesNot) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const std::function<void(frmReportProgress&)> ways[] = {
        [](frmReportProgress& f) { QTest::mouseClick(f.cmdCancel, Qt::LeftButton); },
        [](frmReportProgress& f) { QTest::keyClick(&f, Qt::Key_Escape); },
        [](frmReportProgress& f) { f.close(); },
        nullptr, // the report ends and unloads the window
    };
    for (const auto& cancel : ways) {
        resetReportProgress();
        WindowProgressView view;
        view.close(); // nothing loaded yet
        view.show(QStringLiteral("Processing"), 1);
        view.show(QStringLiteral("Processing"), 12345);
        frmReportProgress* form = view.window();
        ASSERT_NE(form, nullptr);
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(form->lblProcessing->text(), QStringLiteral("Processing"));
        EXPECT_EQ(form->lblCount->text(), QStringLiteral("12,345"));
        cancel ? cancel(*form) : view.close();
        EXPECT_EQ(reportProgress().gbCancelReport, cancel != nullptr);
        EXPECT_EQ(view.window() == nullptr, cancel == nullptr);
    }
    QLocale::setDefault(QLocale::c());
}

} // namespace
} // namespace vx::output
