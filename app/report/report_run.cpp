#include "app/report/report_run.h"

#include "app/report/deleted_orders.h"
#include "app/report/received_summary.h"
#include "app/report/report_common.h"
#include "output/progress.h"
#include "platform/messages.h"
#include "platform/regional.h"
#include "reportspec/reports_common.h"
#include "runstate/runstate.h"
#include "tables/common.h"

namespace vx::report {

namespace {

ReportHost*& hostSlot() {
    static ReportHost* host = nullptr;
    return host;
}

constexpr int kMargin = 720; // twips

// One centred heading line.
void headingLine(output::ReportPrinter& printer, const QString& text) {
    printer.tableText(QStringLiteral("^10000;") + text);
}

} // namespace

void setReportHost(ReportHost* host) {
    hostSlot() = host;
}

ReportHost* reportHost() {
    return hostSlot();
}

void gpUnloadPreview() {
    if (ReportHost* host = reportHost())
        host->unloadPreview();
}

QString gsPageFooter(const QDateTime& now) {
    return reportSpec().gsReportTitle + QStringLiteral("|Page %d|") +
           formatDateTime(now, QStringLiteral("Short Date")) + u' ' +
           formatDateTime(now, QStringLiteral("h:mm AM/PM"));
}

namespace {
// The title a saved document names in its properties: the one its heading shows.
QString documentTitle() {
    const RunState& run = runState();
    if (run.gbVatReport)
        return QStringLiteral("Input VAT");
    if (run.gbShowDeleted)
        return QStringLiteral("Deleted Purchase Orders");
    return QStringLiteral("Purchase Orders Received");
}
} // namespace

void gpRunReport() {
    RunState& run = runState();
    ReportSpec& spec = reportSpec();
    run.gbShowPOButton = true;
    spec.gsReportID = QStringLiteral("0001");
    if (!gfbWriteReportSpec(kReportSpecFileName))
        return;
    if (run.gbShowDeleted)
        spec.gsReportTitle = QStringLiteral("Deleted Purchase Orders");

    ReportHost* host = reportHost();
    if (!host)
        return;
    // Every run asks the VAT question afresh and starts without a cancel request.
    receivedSummaryState().gbVatSummaryOnly = false;
    output::resetReportProgress();

    output::ReportPrinter& printer = host->printer();
    printer.setHeaderStyle(0);
    printer.setFooter(gsPageFooter());
    printer.setMargins(kMargin, kMargin, kMargin, kMargin);
    printer.setDocumentInfo(documentTitle(), run.gsCompanyName);
    printer.setPageStartHandler(gpPrintPageHeader);
    printer.startDoc();

    if (run.gbVatReport) {
        if (!gfbPrintVatReport(printer))
            printer.abandonDoc();
    } else if (!run.gbShowDeleted) {
        gpPrintReceivedSummary(printer);
    } else {
        gpPrintDeletedReport(printer);
    }
    if (gfbServerLost()) {
        // Rows read before the server failed are not the range's rows: nothing is shown.
        output::gpCloseProgress();
        printer.abandonDoc();
        gpUnloadPreview();
        run.gbPreviewDone = true;
        gpSayServerLost();
        return;
    }
    if (output::reportProgress().gbReportCancelled) {
        // The user cancelled: the unfinished document is dropped and nothing is shown.
        output::gpCloseProgress();
        printer.abandonDoc();
        gpUnloadPreview();
        run.gbPreviewDone = true;
        return;
    }
    printer.endDoc();
}

void gpPrintPageHeader(output::ReportPrinter& printer) {
    const bool vat = runState().gbVatReport;
    printer.setFontName(QStringLiteral("Arial"));
    printer.setFontSize(10);
    gpPrintHeading(printer);
    printer.setFontName(QStringLiteral("Arial"));
    switch (printer.headerStyle()) {
    case 0:
        printer.setFontSize(vat ? 11 : 10);
        break;
    case 1:
        printer.setFontSize(6);
        break;
    default:
        break;
    }
    gpPrintColumnHeader(printer);
    if (vat && MsgBox(QStringLiteral("Print Summary Only"), MsgButtons::YesNo, MsgIcon::None,
                      QStringLiteral("VAT Report")) == MsgAnswer::Yes)
        receivedSummaryState().gbVatSummaryOnly = true; // a later No does not take it back
}

void gpPrintHeading(output::ReportPrinter& printer) {
    const RunState& run = runState();
    ReportSpec& spec = reportSpec();
    spec.gsReportTitle = QStringLiteral("Purchase Orders Received");
    printer.setFontBold(true);

    QString company = run.gsCompanyName;
    const std::int16_t store = tables::common().StoreNumber;
    if (!run.gbVatReport && (store > 1 || run.gbShowStore1Number))
        company += QStringLiteral(" #") + QString::number(store);
    headingLine(printer, company);

    if (run.gbShowDeleted && !run.gbVatReport) {
        headingLine(printer, QStringLiteral("Deleted Purchase Orders"));
        headingLine(printer, run.gsStartDate + QStringLiteral(" to ") +
                                 formatDate(QDate::currentDate(), QStringLiteral("Short Date")));
    } else {
        if (run.gbVatReport) {
            headingLine(printer, QStringLiteral("Input VAT"));
        } else {
            headingLine(printer, spec.gsReportTitle);
            headingLine(printer, spec.gsReportSubtitle);
        }
        headingLine(printer, run.gsStartDate + QStringLiteral(" to ") + run.gsEndDate);
    }
    headingLine(printer, QStringLiteral(" "));
    headingLine(printer, QStringLiteral(" "));
    printer.setFontBold(false);
}

void gpPrintColumnHeader(output::ReportPrinter& printer) {
    const RunState& run = runState();
    QString text;
    if (run.gbVatReport)
        text = QStringLiteral("<2300|<3000|<1500|^1400|>2000;"
                              "Vendor No.|Vendor Name|P.O.#|Date Rec'd|Input VAT ;");
    else if (run.gbShowDeleted)
        text = QStringLiteral("<1000|<1000|<1500|<3400|>1400|>1400;"
                              "Quantity|S/L|Item ID|Description|Cost|Total;");
    else
        text = QStringLiteral("<2700|<2700|<1500|^1400|>1400|>1400;"
                              "Vendor No.|Vendor Name|P.O.#|Date Rec'd|Cost|Retail Price;");
    printer.setFontBold(true);
    printer.tableText(text);
    printer.setFontBold(false);
}

} // namespace vx::report
