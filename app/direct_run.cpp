#include "app/direct_run.h"

#include "app/exit_status.h"
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

int gfiDirectRun(const QString& pdfFile) {
    RunState& rs = runState();
    rs.gbDirectRun = true;
    if (!rs.gbVatReport)
        gfbReadReportSpec(QString(kReportSpecFileName));

    DocumentReportHost host;
    report::setReportHost(&host);
    report::gpRunReport();
    report::setReportHost(nullptr);
    if (!host.hasDocument())
        return kExitNothing; // the report has said why

    const QString path =
        pdfFile.isEmpty() ? joinPath(programDir(), QStringLiteral("RptVantrex.pdf")) : pdfFile;
    QString error;
    if (!host.document()->writePdf(path, &error)) {
        MsgBox(QStringLiteral("The document could not be written to ") + path + u'\r' + error,
               MsgButtons::Ok, MsgIcon::Critical);
        return kExitNothing;
    }
    std::fprintf(stderr, "vantrex-report: the document is in %s\n", path.toUtf8().constData());
    return kExitDocument;
}

} // namespace vx
