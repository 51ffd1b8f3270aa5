// report-screenshots: runs the received-orders report of the sample store through the program's
// own start-up into the print preview (offscreen) and saves what a user sees: the first page at
// 100 % and 50 %, a highlighted match, and the printout of a received purchase order (F6).
// Everything it writes besides the pictures lives in a throw-away folder.
#include "app/options.h"
#include "app/startup.h"
#include "app/ui/preview_run.h"
#include "output/document.h"
#include "platform/messages.h"
#include "platform/regional.h"
#include "platform/runtime.h"
#include "sample/sample_store.h"
#include "util/ui/screenshot_tool.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <cstdio>

namespace {

// The first purchase-order number and vendor name of the summary's first page.
struct FirstRow {
    QString po, vendor;
};
FirstRow firstRow(const QString& page) {
    static const QRegularExpression row(
        QStringLiteral("^(\\S+) {2,}(\\S.*?) {2,}(\\S+) +\\d\\d/\\d\\d/\\d{4}"),
        QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = row.match(page);
    return m.hasMatch() ? FirstRow{m.captured(3), m.captured(2)} : FirstRow{};
}

// What the user does once the report is in the preview; false when a picture is missing.
bool takeShots(vx::PreviewReportHost& host, vx::ScreenshotTool& tool) {
    vx::output::frmSMPRNT_PREVIEW& w = host.window();
    w.resize(1024, 768);
    bool ok = tool.save(w, QStringLiteral("report-100.png"));

    QTest::keyClick(w.cboZoom->lineEdit(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(w.cboZoom->lineEdit(), QStringLiteral("50"));
    QTest::keyClick(w.cboZoom->lineEdit(), Qt::Key_Return);
    ok = tool.save(w, QStringLiteral("report-50.png")) && ok;
    QTest::keyClick(w.cboZoom->lineEdit(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(w.cboZoom->lineEdit(), QStringLiteral("100"));
    QTest::keyClick(w.cboZoom->lineEdit(), Qt::Key_Return);

    const FirstRow first = firstRow(w.document()->textDump().section(u'\f', 0, 0));
    if (first.po.isEmpty()) {
        std::fprintf(stderr, "report-screenshots: no purchase order on the first page\n");
        return false;
    }
    w.txtFind->setFocus();
    QTest::keyClicks(w.txtFind, first.vendor);
    QTest::mouseClick(w.cmdFind[0], Qt::LeftButton);
    QTest::keyClick(w.txtFind, Qt::Key_F3);
    ok = tool.save(w, QStringLiteral("report-found.png")) && ok;

    w.txtFind->clear();
    QTest::keyClicks(w.txtFind, first.po);
    QTest::keyClick(w.txtFind, Qt::Key_F6);
    ok = tool.save(w, QStringLiteral("po-printout.png")) && ok;
    QTest::mouseClick(w.cmdClose, Qt::LeftButton);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    vx::ScreenshotTool tool("report-screenshots");
    QApplication app(argc, argv);
    if (!tool.start(argc, argv))
        return 3;
    // The store, the settings and the program folder of this run, never the user's.
    const QString home = tool.makeHome();

    vx::BatchMessageService messages; // nobody answers: questions get No, boxes go to stderr
    vx::setMessageService(&messages);
    vx::sample::SampleStoreOptions store;
    store.dataPath = home + QStringLiteral("/TK");
    store.sampleFolder = QStringLiteral(VANTREX_SAMPLE_DATA_DIR);
    const vx::sample::SampleStoreResult r = vx::sample::createSampleStore(store);
    if (!r.ok) {
        std::fprintf(stderr, "report-screenshots: %s\n", qPrintable(r.error));
        return 2;
    }

    const QString range = QStringLiteral("START=%1|END=%2")
                              .arg(vx::formatDate(r.firstReceipt, QStringLiteral("Short Date")),
                                   vx::formatDate(r.lastReceipt, QStringLiteral("Short Date")));
    const vx::ProgramOptions options = vx::parseProgramOptions({range}, true);
    vx::runtimeOptions().batch = false;

    bool shots = false;
    vx::PreviewReportHost host;
    vx::WindowedStart windowed;
    windowed.previewRun = [&] {
        QTimer user;
        user.setInterval(10);
        QObject::connect(&user, &QTimer::timeout, [&] {
            if (!host.window().isVisible() || host.window().documentInProgress())
                return;
            user.stop();
            shots = takeShots(host, tool);
        });
        user.start();
        return vx::gfiPreviewRun(host);
    };
    vx::setWindowedStart(std::move(windowed));
    const int status = vx::Main(options);
    vx::setWindowedStart({});
    vx::setMessageService(nullptr);
    if (status != 0)
        std::fprintf(stderr, "report-screenshots: the report ended with status %d\n", status);
    return shots && status == 0 ? 0 : 1;
}
