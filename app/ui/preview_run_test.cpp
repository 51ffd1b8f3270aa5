// The windowed run on real (offscreen) windows, sent the user's keys and clicks: a direct run in
// the print preview on every engine, and a first start from no settings to the report.
#include "app/ui/preview_run.h"

#include "app/exit_status.h"
#include "app/options.h"
#include "app/report/testing/report_fixture.h"
#include "app/startup.h"
#include "app/ui/windowed_program.h"
#include "datapath/clsdatapath.h"
#include "datapath/ui/frm_sm_datapath2.h"
#include "output/po_print.h"
#include "platform/runtime.h"
#include "platform/settings.h"
#include "reportspec/reports_common.h"
#include "reportspec/ui/frm_report_specs.h"
#include "runstate/runstate.h"
#include "sample/sample_store.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace vx::report::test {
namespace {

class PreviewRun : public ReportDb {};

// The run waits until the user closes the preview; "F6 Show PO" shows the order's printout.
TEST_P(PreviewRun, TheRunWaitsUntilTheUserClosesThePreview) {
    runtimeOptions().batch = false;
    openStore();
    addVendor("V1", "Acme Supply");
    addItem(1, 20000, "1001", "WIDGET", "Blue widget");
    addHeader({"00000123", "VP-123", "V1", "R"});
    addLine("00000123", 1, 1, 4);
    for (int i = 0; i < 70; ++i) // two pages of the summary
        addHistory({i == 0 ? "00000123" : QByteArray::number(1000 + i).constData(), "V1",
                    "20240105", 1, 2, 12500});
    PreviewReportHost preview;
    output::frmSMPRNT_PREVIEW& w = preview.window();
    QString pageText, poFirstPage;
    // The user acts once the finished document is in the window.
    QTimer user;
    user.setInterval(5);
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (!w.isVisible() || w.documentInProgress())
            return;
        user.stop();
        pageText = w.lblPageOf->text();
        // F6 Show PO with the number as a user types it: zero-padded to find the order.
        w.txtFind->setFocus();
        QTest::keyClicks(w.txtFind, QStringLiteral("123"));
        QTest::keyClick(w.txtFind, Qt::Key_F6);
        poFirstPage = w.document()->textDump().section(u'\f', 0, 0);
        QTest::mouseClick(w.cmdClose, Qt::LeftButton);
    });
    user.start();
    runState().gsStartDate = QStringLiteral("1/1/2024");
    runState().gsEndDate = QStringLiteral("1/31/2024");
    EXPECT_EQ(gfiPreviewRun(preview), kExitDocument);
    EXPECT_EQ(pageText, QStringLiteral("Page 1 of 2"));
    EXPECT_TRUE(runState().gbPreviewDone);
    // After the report's whole-table reads, the printout still finds its vendor and items by key.
    for (const char* text : {"RECEIVED PURCHASE ORDER # VP-123", "Acme Supply", "WIDGET"})
        EXPECT_TRUE(poFirstPage.contains(QLatin1String(text))) << poFirstPage.toStdString();
    EXPECT_FALSE(poFirstPage.contains("Purchase Orders Received")); // no report header
    EXPECT_FALSE(output::poPrintState().gbPOPrint);

    runState().gsStartDate = QStringLiteral("1/1/2020");
    runState().gsEndDate = QStringLiteral("1/31/2020");
    PreviewReportHost none;
    EXPECT_EQ(gfiPreviewRun(none), kExitNothing);
    runtimeOptions().batch = true;
    EXPECT_FALSE(none.window().isVisible());
    ASSERT_EQ(boxes.boxes().size(), 1);
    EXPECT_EQ(boxes.boxes().front().title, QStringLiteral("Vantrex Report Summary"));
}

INSTANTIATE_TEST_SUITE_P(Engines, PreviewRun, ::testing::ValuesIn(dbtest::allBackends()),
                         dbtest::backendName);

template <class T> T* shownWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<T*>(w); t && t->isVisible())
            return t;
    return nullptr;
}

// A store in the usual data folder, no settings: asked, the user gives the data path, the
// configuration program sets the database, and the report specifications' OK shows the report.
TEST(FirstRun, FromNoSettingsToTheReportInThePreview) {
    vx::test::TestEnv env;
    env.setEnv("LC_ALL", QStringLiteral("C"));
    resetRunState();
    resetDataPath();
    resetDataPathUiState();
    ScopedScriptedMessages messages;
    sample::SampleStoreOptions store;
    store.dataPath = env.home() + QStringLiteral("/TK"); // "C:\TK"
    store.sampleFolder = QStringLiteral(VANTREX_SAMPLE_DATA_DIR);
    const sample::SampleStoreResult loaded = sample::createSampleStore(store);
    ASSERT_TRUE(loaded.ok) << loaded.error.toStdString();
    ASSERT_TRUE(QDir(env.configDir() + QStringLiteral("/jov")).removeRecursively());
    resetDataPath();
    QFile::link(vx::test::binDir() + QStringLiteral("/JOVDataConfiguration"),
                env.programDir() + QStringLiteral("/JOVDataConfiguration"));
    messages.answer(MsgAnswer::Yes); // "Do you want to define it now?"

    runtimeOptions().batch = false;
    WindowedProgram windowed;
    output::frmSMPRNT_PREVIEW& preview = windowed.preview().window();
    QString firstPage;
    int step = 0;
    QTimer user;
    user.setInterval(10);
    QObject::connect(&user, &QTimer::timeout, [&] {
        frmReportSpecs* specs = shownWindow<frmReportSpecs>();
        if (auto* dialog = qobject_cast<frmSM_DATAPATH2*>(QApplication::activeModalWidget());
            step == 0 && dialog) {
            dialog->txtEdit[1]->selectAll();
            QTest::keyClicks(dialog->txtEdit[1], QStringLiteral("C:\\TK"));
            step = 1;
            QTest::mouseClick(dialog->cmdOkCancel[0], Qt::LeftButton);
        } else if (step == 1 && specs) {
            specs->dtpStartDate->setDate(loaded.firstReceipt);
            specs->dtpEndDate->setDate(loaded.lastReceipt);
            step = 2;
            QTest::mouseClick(specs->cmdOkCancel[0], Qt::LeftButton); // runs the report
        } else if (step == 2 && preview.isVisible() && !preview.documentInProgress()) {
            firstPage = preview.document()->textDump().section(u'\f', 0, 0);
            QTest::mouseClick(preview.cmdClose, Qt::LeftButton);
            step = 3;
        } else if (step == 3) {
            if (specs) // the dialog stays open after a run, until Exit
                QTest::mouseClick(specs->cmdOkCancel[1], Qt::LeftButton);
            user.stop();
            step = 4;
        }
    });
    user.start();

    EXPECT_EQ(Main(parseProgramOptions({}, true)), 0);
    runtimeOptions().batch = true;
    EXPECT_EQ(step, 4);
    EXPECT_EQ(messages.texts().size(), 1) << messages.texts().join(u'|').toStdString();
    for (const auto& [key, value] : {std::pair{"Server", "sqlite:"}, {"DBName", "JOV"}})
        EXPECT_EQ(GetSetting("JOV Settings", "DATABASE", key), QLatin1String(value));
    for (const char* text : {"Purchase Orders Received", "Total:"})
        EXPECT_TRUE(firstPage.contains(QLatin1String(text))) << firstPage.toStdString();
    EXPECT_TRUE(QFile::exists(env.programDir() + u'/' + QString(kReportSpecFileName)));
    EXPECT_FALSE(preview.isVisible());
    resetDataPath();
    resetRunState();
}

} // namespace
} // namespace vx::report::test
