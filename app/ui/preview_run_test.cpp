// A direct run shown in the print preview, on both engines and a real (offscreen) window: the
// window shows the report and the run waits until the user closes it; a run that finds nothing
// shows no window; "F6 Show PO" replaces the document with the received order's printout.
#include "app/ui/preview_run.h"

#include "app/exit_status.h"
#include "app/report/testing/report_fixture.h"
#include "output/po_print.h"
#include "platform/runtime.h"
#include "runstate/runstate.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace vx::report::test {
namespace {

class PreviewRun : public ReportDb {
  protected:
    void SetUp() override {
        ReportDb::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        env_.setEnv("LC_ALL", QStringLiteral("C"));
        runtimeOptions().batch = false;
        openStore();
        addVendor("V1", "Acme Supply");
        addItem(1, 20000, "1001", "WIDGET", "Blue widget");
        addHeader({"00000123", "VP-123", "V1", "R"});
        addLine("00000123", 1, 1, 4);
        for (int i = 0; i < 70; ++i) // two pages of the summary
            addHistory({i == 0 ? "00000123" : QByteArray::number(1000 + i).constData(), "V1",
                        "20240105", 1, 2, 12500});
        RunState& run = runState();
        run.gsStartDate = QStringLiteral("1/1/2024");
        run.gsEndDate = QStringLiteral("1/31/2024");
    }
    void TearDown() override {
        runtimeOptions().batch = true;
        ReportDb::TearDown();
    }
};

TEST_P(PreviewRun, TheRunWaitsUntilTheUserClosesThePreview) {
    PreviewReportHost preview;
    output::frmSMPRNT_PREVIEW& w = preview.window();
    QString pageText, firstPage, poFirstPage;
    bool visible = false, navigation = false;
    // The user acts once the finished document is in the window.
    QTimer user;
    user.setInterval(5);
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (!w.isVisible() || w.documentInProgress())
            return;
        user.stop();
        visible = w.isVisible();
        pageText = w.lblPageOf->text();
        navigation = w.cmdMove[1]->isEnabled();
        // F6 Show PO with the number as a user types it: zero-padded to find the order.
        w.txtFind->setFocus();
        QTest::keyClicks(w.txtFind, QStringLiteral("123"));
        QTest::keyClick(w.txtFind, Qt::Key_F6);
        poFirstPage = w.document()->textDump().section(u'\f', 0, 0);
        QTest::mouseClick(w.cmdClose, Qt::LeftButton);
    });
    user.start();
    EXPECT_EQ(gfiPreviewRun(preview), kExitDocument);
    EXPECT_TRUE(visible);
    EXPECT_EQ(pageText, QStringLiteral("Page 1 of 2"));
    EXPECT_TRUE(navigation);
    EXPECT_TRUE(runState().gbPreviewDone);
    EXPECT_FALSE(w.isVisible());
    // After the report's whole-table reads, the printout still finds its vendor and items by key.
    for (const char* text : {"RECEIVED PURCHASE ORDER # VP-123", "Acme Supply", "WIDGET"})
        EXPECT_TRUE(poFirstPage.contains(QLatin1String(text))) << poFirstPage.toStdString();
    EXPECT_FALSE(poFirstPage.contains(QStringLiteral("Purchase Orders Received")))
        << "the printout's first page has no report header";
    EXPECT_FALSE(output::poPrintState().gbPOPrint);
}

TEST_P(PreviewRun, ARunThatFindsNothingShowsNoWindow) {
    runState().gsStartDate = QStringLiteral("1/1/2020");
    runState().gsEndDate = QStringLiteral("1/31/2020");
    PreviewReportHost preview;
    EXPECT_EQ(gfiPreviewRun(preview), kExitNothing);
    EXPECT_FALSE(preview.window().isVisible());
    ASSERT_EQ(boxes.boxes().size(), 1);
    EXPECT_EQ(boxes.boxes().front().title, QStringLiteral("Vantrex Report Summary"));
}

INSTANTIATE_TEST_SUITE_P(Engines, PreviewRun, ::testing::ValuesIn(dbtest::allBackends()),
                         dbtest::backendName);

} // namespace
} // namespace vx::report::test
