#include "app/report/deleted_orders.h"

#include "app/report/received_summary.h"
#include "app/report/report_common.h"
#include "app/report/report_run.h"
#include "db/operations.h"
#include "output/progress.h"
#include "platform/messages.h"
#include "platform/regional.h"
#include "runstate/runstate.h"
#include "tables/common.h"
#include "tables/dispatch.h"
#include "tables/inventory.h"
#include "tables/po_line.h"
#include "tables/vendors.h"
#include "util/dates.h"

namespace vx::report {

using namespace vx::tables;

namespace {

constexpr char16_t kLineFormat[] = u"^1000|<1000|<1500|<3400|>1400|>1400;";

QString displayDate(const QString& stored) {
    return gsDisplayDate(stored, common().USEurope);
}

// A single-precision quantity as the suite prints it: seven significant digits at most.
QString quantityText(float quantity) {
    return formatNumber(QString::number(quantity, 'g', 7).toDouble(),
                        QStringLiteral("General Number"));
}

QString amountText(std::int64_t amount) {
    return formatNumber(static_cast<double>(amount) / 10000.0, QStringLiteral("#.00 "));
}

// The lines of one order that are still on order and whose item exists.
void printLines(output::ReportPrinter& printer, const POHeaderRec& header) {
    POLineRec& line = poLine();
    line.PO = header.PO.str();
    line.LineNum = 1;
    bool found = db::gfbDB_Operation(kPOLine, db::kOpGreaterOrEqual, 0);
    while (found && line.PO.str() == header.PO.str()) {
        inventory().RecordNum = line.InvUID;
        if (line.OnOrder != 0 && db::gfbDB_Operation(kInventory, db::kOpEqual, 0)) {
            const InventoryRec& item = inventory();
            const float quantity = static_cast<float>(item.QTYINPACK) * line.OnOrder;
            printer.tableText(QString::fromUtf16(kLineFormat) + quantityText(quantity) + u'|' +
                              gsFormatSL(item.SL) + u'|' + item.ItemID.str() + u'|' +
                              item.Description.str() + u'|' + amountText(item.AvgCost) + u'|' +
                              amountText(gcyTimes(item.AvgCost, quantity)));
        }
        found = db::gfbDB_Operation(kPOLine, db::kOpGetNext, 0);
    }
}

// Who cancelled the order and when, and the rule below it.
void printClosingLine(output::ReportPrinter& printer, const POHeaderRec& header) {
    gpPrintBlankRow(printer);
    printer.setFontBold(true);
    printer.tableText(QString::fromUtf16(kLineFormat) + QStringLiteral("|||Cancelled by ") +
                      header.SCODE.str() + u' ' + displayDate(header.CANCELDATE));
    gpPrintRule(printer);
}

} // namespace

DeletedOrdersState& deletedOrdersState() {
    static DeletedOrdersState state;
    return state;
}

void resetDeletedOrdersState() {
    deletedOrdersState() = DeletedOrdersState{};
}

std::int16_t giLoadCancelledOrders() {
    std::vector<POHeaderRec>& kept = deletedOrdersState().gCancelledOrders;
    kept.assign(1, POHeaderRec{});
    const QString from = formatDateText(runState().gsStartDate, QStringLiteral("YYYYMMDD"));
    POHeaderRec& header = poHeader();
    header.STATUS = QStringLiteral("X");
    header.PO = QStringLiteral(" ");
    bool found = db::gfbDB_Operation(kPOHeader, db::kOpGetLast, 4);
    while (found && header.STATUS.str() == QStringLiteral("X")) {
        if (!(header.CANCELDATE.str() < from))
            kept.push_back(header);
        found = db::gfbDB_Operation(kPOHeader, db::kOpGetPrevious, 4);
    }
    return static_cast<std::int16_t>(kept.size() - 1);
}

void gpPrintDeletedReport(output::ReportPrinter& printer) {
    RunState& run = runState();
    const int n = giLoadCancelledOrders();
    if (n == 0) {
        if (!gfbServerLost()) // the run's end says what happened instead
            MsgBox(QStringLiteral("Nothing to report"));
        gpUnloadPreview();
        run.gbPreviewDone = true;
        return;
    }
    const std::vector<POHeaderRec>& orders = deletedOrdersState().gCancelledOrders;
    for (int i = 1; i <= n; ++i) {
        if (i == 1) {
            printer.setFontBold(true);
            gpPrintRule(printer);
        } else {
            printClosingLine(printer, orders[i - 1]);
        }
        gpPrintOrderBlock(printer, i);
        printer.setFontBold(false);
        printLines(printer, orders[i]);
        gpPrintBlankRow(printer);
        output::gpShowProgress(QStringLiteral("Printing"), i);
        if (output::gfbReportCancelled())
            return;
    }
    // The last order gets its closing line too, so every order shows who cancelled it.
    printClosingLine(printer, orders[n]);
    printer.setFontBold(false);
    output::gpCloseProgress();
}

void gpPrintOrderBlock(output::ReportPrinter& printer, int index) {
    const POHeaderRec& header = deletedOrdersState().gCancelledOrders.at(index);
    QString vendorText = QStringLiteral("Vendor: ");
    vendor().VENDCODE = header.VENDORCODE.str();
    if (db::gfbDB_Operation(kVendors, db::kOpEqual, 1))
        vendorText +=
            vendor().VENDCODE.trimmed() + QStringLiteral("  ") + vendor().BUSINESS.trimmed();
    printer.addTable(QStringLiteral("<~1200|<~2000|<~4000|<~4000;"), QString(),
                     displayDate(header.CANCELDATE) + QStringLiteral("|PO#: ") +
                         header.VendorPONum.trimmed() + u'|' + vendorText +
                         QStringLiteral("|Date Ordered: ") + displayDate(header.ORDERDATE));
}

void gpPrintRule(output::ReportPrinter& printer) {
    const QString line(65, u'_');
    printer.addTable(QStringLiteral("^~10775"), QString(),
                     line.repeated(5) + QStringLiteral("- - - \r"));
}

QString gsFormatSL(const QString& sl) {
    for (const QChar c : sl) {
        if (c == u' ')
            continue;
        if (c == u'~')
            return sl;
        break;
    }
    return sl.left(7) + u'.' + sl.right(1);
}

} // namespace vx::report
