#include "app/direct_run.h"

#include "app/direct_outputs.h"

#include "app/exit_status.h"
#include "app/report/received_summary.h"
#include "app/report/report_common.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "reportspec/reports_common.h"
#include "runstate/runstate.h"

#include <cstdio>

namespace vx {

output::ReportPrinter& DocumentReportHost::printer() {
    doc_ = std::make_unique<output::Document>();
    doc_->setEvents({[this](int page) {
                         if (onPage_) {
                             onPage_(*doc_, page);
                             doc_->releasePage(page);
                         }
                     },
                     {}});
    unloaded_ = false;
    return *doc_;
}

void gpPrepareDirectRun() {
    RunState& rs = runState();
    rs.gbDirectRun = true;
    if (!rs.gbVatReport)
        gfbReadReportSpec(QString(kReportSpecFileName));
}

int gfiDirectRun(const QString& pdfFile, const QString& textFile) {
    gpPrepareDirectRun();

    // The files are written while the report runs and put in place once its document has ended.
    // A run asked for neither file writes the PDF to its usual place.
    QString pdfPath = pdfFile;
    if (pdfPath.isEmpty() && textFile.isEmpty())
        pdfPath = joinPath(programDir(), QStringLiteral("RptVantrex.pdf"));
    DirectOutputs outputs(pdfPath, textFile);
    DocumentReportHost host;
    host.setPageListener(
        [&outputs](const output::Document& doc, int page) { outputs.pageDone(doc, page); });
    report::setReportHost(&host);
    report::gpRunReport();
    report::setReportHost(nullptr);
    if (!host.hasDocument()) { // the report has said why
        outputs.abandon();
        return report::gfbServerLost() ? kExitStartupFailed : kExitNothing;
    }

    QString failedPath, error;
    if (!outputs.finish(*host.document(), &failedPath, &error)) {
        MsgBox(QStringLiteral("The document could not be written to ") + failedPath + u'\r' + error,
               MsgButtons::Ok, MsgIcon::Critical);
        return kExitNothing;
    }
    if (!pdfPath.isEmpty())
        std::fprintf(stderr, "vantrex-report: the document is in %s\n",
                     pdfPath.toUtf8().constData());
    // A scheduled export whose file was not written must not look successful.
    return report::receivedSummaryState().gbExportFailed ? kExitExportFailed : kExitDocument;
}

} // namespace vx
