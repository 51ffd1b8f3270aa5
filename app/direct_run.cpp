#include "app/direct_run.h"

#include "app/exit_status.h"
#include "app/report/received_summary.h"
#include "app/report/report_common.h"
#include "platform/atomic_file.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "reportspec/reports_common.h"
#include "runstate/runstate.h"

#include <cstdio>

namespace vx {

output::ReportPrinter& DocumentReportHost::printer() {
    doc_ = std::make_unique<output::Document>();
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

    DocumentReportHost host;
    report::setReportHost(&host);
    report::gpRunReport();
    report::setReportHost(nullptr);
    if (!host.hasDocument()) // the report has said why
        return report::gfbServerLost() ? kExitStartupFailed : kExitNothing;

    QString error;
    if (!textFile.isEmpty()) {
        if (!writeFileAtomically(textFile, host.document()->textDump().toUtf8(), 0644, true,
                                 &error)) {
            MsgBox(QStringLiteral("The document could not be written to ") + textFile + u'\r' +
                       error,
                   MsgButtons::Ok, MsgIcon::Critical);
            return kExitNothing;
        }
        if (pdfFile.isEmpty())
            return report::receivedSummaryState().gbExportFailed ? kExitExportFailed
                                                                 : kExitDocument;
    }
    const QString path =
        pdfFile.isEmpty() ? joinPath(programDir(), QStringLiteral("RptVantrex.pdf")) : pdfFile;
    if (!host.document()->writePdf(path, &error)) {
        MsgBox(QStringLiteral("The document could not be written to ") + path + u'\r' + error,
               MsgButtons::Ok, MsgIcon::Critical);
        return kExitNothing;
    }
    std::fprintf(stderr, "vantrex-report: the document is in %s\n", path.toUtf8().constData());
    // A scheduled export whose file was not written must not look successful.
    return report::receivedSummaryState().gbExportFailed ? kExitExportFailed : kExitDocument;
}

} // namespace vx
