#include "output/po_print.h"

#include "util/currency.h"

#include "db/codecs.h"
#include "db/hooks.h"
#include "db/operations.h"
#include "db/state.h"
#include "db/table_ops.h"
#include "platform/messages.h"
#include "platform/regional.h"
#include "platform/runtime.h"
#include "runstate/runstate.h"
#include "tables/common.h"
#include "tables/dispatch.h"
#include "tables/inventory.h"
#include "tables/po_header.h"
#include "tables/po_history.h"
#include "tables/po_line.h"
#include "tables/vendors.h"
#include "util/dates.h"

#include <QDate>
#include <cmath>
#include <vector>

namespace vx::output {

using namespace vx::tables;

POPrintState& poPrintState() {
    static POPrintState state;
    return state;
}

void resetPOPrintState() {
    poPrintState() = POPrintState{};
}

namespace {

// The vendor block: one table text per row.
constexpr char16_t kVendorFormat[] = u"<900|<4000|>920|<2500;";
// The item table; the line feed in front leaves an empty line above it.
constexpr char16_t kItemFormat[] =
    u"\n<~1800|<~2200|>~1200|>~700|>~700|>~500|>~900|>~1000|>~800|>~1100";
constexpr char16_t kItemHeader[] =
    u"Item ID|Description|Sub-Desc|Order|Rcv'd|/Pkg|Cost|Total|Clerk|Date";

// The order's lines from line 1 on, in line order.
std::vector<POLineRec> collectLines(const QString& po) {
    std::vector<POLineRec> lines;
    POLineRec& line = poLine();
    line.PO = po;
    line.LineNum = 1;
    bool found = db::gfbDB_Operation(kPOLine, db::kOpEqual, 0);
    while (found && line.PO.trimmed() == po.trimmed()) {
        lines.push_back(line);
        found = db::gfbDB_Operation(kPOLine, db::kOpGetNext, 0);
    }
    return lines;
}

// Every history row of the order. A line received in several deliveries has several rows with
// the same item, which a keyed walk would pass over as one; the rows are therefore read in one
// query, each item's deliveries in the order they were booked.
std::vector<POHistoryRec> readHistory(const QString& po) {
    std::vector<POHistoryRec> rows;
    const QString sql = QStringLiteral("SELECT * FROM ") + db::tableInfo(kPOHistory).TableName +
                        QStringLiteral(" WHERE PONumber = '") + db::gsDB_SQLText(po, false, 10) +
                        QStringLiteral("' ORDER BY InvUID, DateReceived, UniqueID");
    if (!db::gfbDB_Query(sql, kPOHistory))
        return rows;
    db::TableHooks* hooks = db::tableHooks();
    auto& rs = db::currentRecordset(kPOHistory);
    while (rs && hooks && !rs->eof()) {
        hooks->gpFillRecord(kPOHistory);
        rows.push_back(poHistory());
        if (!rs->moveNext())
            break;
    }
    return rows;
}

// A stored "yyyymmdd" date in the locale's long form; a value that is no date stays as it is.
QString longDate(const QString& stored) {
    const QDate date = QDate::fromString(stored.trimmed(), QStringLiteral("yyyyMMdd"));
    return date.isValid() ? formatDate(date, QStringLiteral("Long Date")) : stored.trimmed();
}

QString currency(std::int64_t amount, const QString& pattern) {
    return formatNumber(static_cast<double>(amount) / 10000.0, pattern);
}

// A single-precision quantity: at most seven significant digits, as such a number prints.
QString quantity(float value) {
    const double shown = QString::number(static_cast<double>(value), 'g', 7).toDouble();
    return formatNumber(shown, QStringLiteral("General Number"));
}

void printVendorBlock(ReportPrinter& printer, const POHeaderRec& header) {
    const VendorRec& v = vendor();
    const QString format = QString::fromUtf16(kVendorFormat);
    const QString name = header.VENDORCODE.trimmed().isEmpty() ? QStringLiteral("Manual P.O.")
                                                               : v.BUSINESS.trimmed();
    printer.tableText(format + QStringLiteral("Vendor:|") + name + u';');
    printer.tableText(format + u'|' + v.ADDRESS.trimmed() + QStringLiteral("|Phone:|") +
                      v.PHONE.trimmed() + u';');
    printer.tableText(format + u'|' + v.CITY.trimmed() + QStringLiteral(", ") + v.STATE.trimmed() +
                      u' ' + v.ZIP.trimmed() + QStringLiteral("|Fax:|") + v.FAX.trimmed() + u';');
    if (!v.FIRSTNAME.trimmed().isEmpty() || !v.LASTNAME.trimmed().isEmpty())
        printer.tableText(format + QStringLiteral("|Attention:  ") + v.FIRSTNAME.trimmed() + u' ' +
                          v.LASTNAME.trimmed() + u';');
}

// The rows of one line: one per history row of its item, the item and the ordered quantity on
// the first only. Each row's cost times quantity is added to `total`.
QString lineRows(const POLineRec& line, const std::vector<POHistoryRec>& history,
                 std::int64_t& total) {
    // A line whose item is no longer in the inventory prints its deliveries with the item cells
    // left blank: the received quantities and costs still belong to the order.
    inventory().RecordNum = line.InvUID;
    const bool haveItem = db::gfbDB_Operation(kInventory, db::kOpEqual, 0);
    const InventoryRec& item = inventory();
    const QString style = common().USEurope;

    QString rows;
    bool first = true;
    for (const POHistoryRec& h : history) {
        if (h.InvUID != line.InvUID)
            continue;
        if (first && haveItem)
            rows += item.ItemID.trimmed() + u'|' + item.Description.trimmed() + u'|' +
                    item.SubDescription.trimmed() + u'|' + quantity(line.Quantity2Order) + u'|';
        else if (first)
            rows += QStringLiteral("|||") + quantity(line.Quantity2Order) + u'|';
        else
            rows += QStringLiteral("||||");
        first = false;
        // A pack of 0 has no quantity in packs: the received units are shown as they are.
        const float packs = h.Pack == 0 ? h.UnitQty : h.UnitQty / static_cast<float>(h.Pack);
        const std::int64_t cost = gcyTimes(h.UnitCost, h.UnitQty);
        total += cost;
        rows += quantity(packs) + u'|' + QString::number(h.Pack) + u'|' +
                currency(h.UnitCost, QStringLiteral("#.00#")) + u'|' +
                currency(cost, QStringLiteral("#.00")) + u'|' + h.SalesCode.trimmed() + u'|' +
                gsDisplayDate(h.DateReceived, style).trimmed() + u';';
    }
    return rows;
}

void printBody(ReportPrinter& printer, const POHeaderRec& header,
               const std::vector<POLineRec>& lines) {
    printer.paragraph(QStringLiteral("RECEIVED PURCHASE ORDER # ") + header.VendorPONum.trimmed());
    printVendorBlock(printer, header);
    const POLineRec& firstLine = lines.front();
    printer.paragraph(QStringLiteral("Received on ") + longDate(firstLine.ChangeDate) +
                      QStringLiteral(" by ") + firstLine.SCode.trimmed());

    const std::vector<POHistoryRec> history = readHistory(header.PO);
    std::int64_t total = 0;
    QString body;
    for (const POLineRec& line : lines)
        body += lineRows(line, history, total);
    body += QStringLiteral("||||||Total|") + currency(total, QStringLiteral("#.00")) + u';';
    body += QStringLiteral("Ordered by|") + header.SCODE.trimmed() + QStringLiteral("||||||;");
    body +=
        QStringLiteral("Approved by|") + header.ApprovedBy.trimmed() + QStringLiteral("||||||;");
    printer.addTable(QString::fromUtf16(kItemFormat), QString::fromUtf16(kItemHeader), body);
}

} // namespace

namespace sm_POPrint {

QString gsZeroPaddedPO(const QString& number) {
    return (QStringLiteral("0000000") + number.trimmed()).right(8);
}

bool gfbFindPO(const QString& number, const POPrintTarget& target) {
    POHeaderRec& header = poHeader();
    header.VendorPONum = number;
    bool found = db::gfbDB_Operation(kPOHeader, db::kOpEqual, 1);
    if (!found) {
        header.PO = number;
        found = db::gfbDB_Operation(kPOHeader, db::kOpEqual, 0);
    }
    if (!found) {
        header.PO = gsZeroPaddedPO(number);
        found = db::gfbDB_Operation(kPOHeader, db::kOpEqual, 0);
    }
    if (!found) {
        MsgBox(QStringLiteral("PO Number not found please reenter"), MsgButtons::Ok);
        return false;
    }
    gpPrintPO(target);
    return true;
}

void gpPrintPO(const POPrintTarget& target) {
    const POHeaderRec header = poHeader();
    setPointer(Pointer::Hourglass);
    const std::vector<POLineRec> lines = collectLines(header.PO);
    if (lines.empty()) {
        setPointer(Pointer::Default);
        MsgBox(QStringLiteral("PO not found, not yet implemented"), MsgButtons::Ok);
        return;
    }
    vendor().VENDCODE = header.VENDORCODE;
    if (!db::gfbDB_Operation(kVendors, db::kOpEqual, 1))
        jovDBSM_Vendors::ClearRecord();

    ReportPrinter& printer = target.startPrintout();
    // The help file of the printout's window ("print.chm") has no counterpart here.
    printer.setMargins(360, 1000, 360, 1000);
    printer.setFontSize(9);
    printer.setFooter(QStringLiteral("|Page %d|"));
    printer.setDocumentInfo(QStringLiteral("Received Purchase Order ") +
                                header.VendorPONum.trimmed(),
                            runState().gsCompanyName);
    // The cell and row separators of table text are always "|" and ";".
    poPrintState().gbPOPrint = true;
    printer.startDoc();
    printBody(printer, header, lines);
    printer.endDoc();
    poPrintState().gbPOPrint = false;
    setPointer(Pointer::Default);
    if (target.showPrintout)
        target.showPrintout();
}

} // namespace sm_POPrint

} // namespace vx::output
