#include "app/ui/preview_run.h"

#include "app/direct_run.h"
#include "app/exit_status.h"
#include "app/report/report_common.h"
#include "output/po_print.h"
#include "runstate/runstate.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace vx {

PreviewReportHost::PreviewReportHost() : window_(std::make_unique<output::frmSMPRNT_PREVIEW>()) {
    window_->setShowPOHandler([this](const QString& number) { return showPO(number); });
}

PreviewReportHost::~PreviewReportHost() = default;

output::ReportPrinter& PreviewReportHost::printer() {
    unloaded_ = false;
    return window_->newDocument();
}

void PreviewReportHost::unloadPreview() {
    unloaded_ = true;
    window_->unload();
}

bool PreviewReportHost::showsDocument() const {
    return !unloaded_ && window_->pageCount() > 0;
}

bool PreviewReportHost::showPO(const QString& number) {
    output::POPrintTarget target;
    target.startPrintout = [this]() -> output::ReportPrinter& {
        output::Document& doc = window_->newDocument();
        // Later pages of the printout get the report's page header; its first page has the
        // printout's own title instead.
        doc.setPageStartHandler([](output::ReportPrinter& printer) {
            if (output::poPrintState().gbPOPrint && printer.pageCount() == 1)
                return;
            report::gpPrintPageHeader(printer);
        });
        return doc;
    };
    target.showPrintout = [] {}; // the preview shows a document as soon as it ends
    return output::sm_POPrint::gfbFindPO(number, target);
}

int gfiPreviewRun(PreviewReportHost& host) {
    gpPrepareDirectRun();
    report::ReportHost* previous = report::reportHost();
    report::setReportHost(&host);
    report::gpRunReport();
    const bool shown = host.showsDocument();

    // 9. The preview's Close (or its unloading) sets gbPreviewDone; until then the window
    // system runs, sleeping while there is nothing to do.
    while (!runState().gbPreviewDone)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);

    // 10.
    host.window().unload();
    report::setReportHost(previous);
    if (shown)
        return kExitDocument;
    return report::gfbServerLost() ? kExitStartupFailed : kExitNothing;
}

} // namespace vx
