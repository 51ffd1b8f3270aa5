#include "app/report/received_summary.h"

#include "datapath/clsdatapath.h"
#include "db/operations.h"
#include "db/state.h"
#include "db/table_ops.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/regional.h"
#include "platform/runtime.h"
#include "platform/textfile.h"
#include "app/report/report_common.h"
#include "app/report/report_run.h"
#include "runstate/runstate.h"
#include "tables/common.h"
#include "tables/dispatch.h"
#include "tables/inventory.h"
#include "tables/po_header.h"
#include "tables/po_history.h"
#include "tables/vendors.h"
#include "util/dates.h"
#include "util/text.h"

namespace vx::report {

using namespace vx::tables;

ReceivedSummaryState& receivedSummaryState() {
    static ReceivedSummaryState state;
    return state;
}

void resetReceivedSummaryState() {
    receivedSummaryState() = ReceivedSummaryState{};
}

namespace {

// The vendor's trimmed name, empty when there is no such vendor.
QString vendorName(const QString& vendorCode) {
    vendor().VENDCODE = vendorCode;
    if (!db::gfbDB_Operation(kVendors, db::kOpEqual, 1))
        return QString();
    return vendor().BUSINESS.trimmed();
}

// Adds one history row's amounts to its order.
void addRow(ReceivedOrderRec& order, const POHistoryRec& row) {
    order.Cost += gcyTimes(row.UnitCost, row.UnitQty);
    inventory().RecordNum = row.InvUID;
    if (db::gfbDB_Operation(kInventory, db::kOpEqual, 0))
        order.Retail += gcyTimes(inventory().Price, row.UnitQty);
}

QString row(const QString& cells) {
    return trimBlanks(QString::fromUtf16(kSummaryFormat) + cells);
}

} // namespace

QString gsReceivedOrdersSQL(const QString& startKey) {
    const QString endKey = formatDateText(runState().gsEndDate, QStringLiteral("yyyymmdd"));
    return QStringLiteral("SELECT * FROM ") + db::tableInfo(kPOHistory).TableName +
           QStringLiteral(" WHERE (status = 'R' or status = 'U')") +
           QStringLiteral(" AND (DateReceived >= '") + gsDateLiteral(startKey) +
           QStringLiteral("' ") + QStringLiteral(" AND DateReceived <= '") + gsDateLiteral(endKey) +
           QStringLiteral("') ");
}

std::int16_t giLoadReceivedOrders() {
    ReceivedSummaryState& st = receivedSummaryState();
    st.gReceivedOrders.assign(1, ReceivedOrderRec{});
    st.gSortedOrders.assign(1, ReceivedOrderRec{});

    // The whole history table is counted first: an empty table needs no range query.
    if (db::glDB_Count(kPOHistory, db::tableInfo(kPOHistory).TableName) == 0)
        return 0;

    POHistoryRec& hist = poHistory();
    hist.Status = QStringLiteral("R");
    // A copy: the conversion rewrites its argument, and the heading keeps the date as entered.
    QString start = runState().gsStartDate;
    hist.DateReceived = gsStoredDate(start, common().USEurope);
    if (!db::gfbDB_Query(gsReceivedOrdersSQL(hist.DateReceived), kPOHistory))
        return 0;
    const std::vector<POHistoryRec> rows = readRemainingRows(kPOHistory, hist);

    std::vector<ReceivedOrderRec>& found = st.gReceivedOrders;
    for (size_t i = 0; i < rows.size(); ++i) {
        const POHistoryRec& r = rows[i];
        if (i > 0 && r.PONumber.str() == rows[i - 1].PONumber.str()) {
            addRow(found.back(), r);
            continue;
        }
        ReceivedOrderRec order;
        order.VendorCode = r.VendorCode;
        order.DateReceived = r.DateReceived;
        order.PONumber = r.PONumber;
        order.VendorName = vendorName(r.VendorCode);
        addRow(order, r);
        found.push_back(order);
        pumpEvents();
    }

    // Straight insertion by vendor code: each order goes before the first one whose code is
    // greater, so the orders of one vendor keep the order in which they were found.
    std::vector<ReceivedOrderRec>& sorted = st.gSortedOrders;
    for (size_t i = 1; i < found.size(); ++i) {
        auto at = sorted.begin() + 1;
        while (at != sorted.end() && !(found[i].VendorCode < at->VendorCode))
            ++at;
        sorted.insert(at, found[i]);
    }
    return static_cast<std::int16_t>(found.size() - 1);
}

void gpPrintBlankRow(output::ReportPrinter& printer) {
    printer.tableText(QString::fromUtf16(kSummaryFormat) + QStringLiteral("|||||;"));
}

QString gsVendorPONumber(const QString& poNumber) {
    poHeader().PO = poNumber;
    if (db::gfbDB_Operation(kPOHeader, db::kOpEqual, 0))
        return poHeader().VendorPONum;
    return poNumber;
}

QString gsExportFilePath() {
    const QString date = formatDateText(runState().gsExportDate, QStringLiteral("YYYYMMDD"));
    const QString folder = joinPath(nativePath(gDataPath().DataPath()), QStringLiteral("export"));
    // The name ends in ".txt " as the suite writes it; the trailing blank is dropped.
    return joinPath(folder, QStringLiteral("Vantrex") + date + QStringLiteral(".txt "));
}

namespace {

void writeExport(const QStringList& lines) {
    const QString path = gsExportFilePath();
    QString error;
    if (!writeLines(path, lines, &error))
        MsgBox(QStringLiteral("The export file could not be written.\r\r") + path +
                   QStringLiteral("\r") + error,
               MsgButtons::Ok, MsgIcon::Exclamation);
}

} // namespace

void gpPrintReceivedSummary(output::ReportPrinter& printer) {
    RunState& run = runState();
    ReceivedSummaryState& st = receivedSummaryState();
    pumpEvents();
    const std::int16_t n = giLoadReceivedOrders();
    st.giOrderCount = n;
    const bool exporting = run.gbWriteExport;
    QStringList exportLines;

    if (n == 0) {
        if (exporting)
            writeExport(exportLines); // the file is replaced even when nothing was received
        MsgBox(QStringLiteral("No PO's found in selected Range. Please select a new range."),
               MsgButtons::Ok, MsgIcon::None, QStringLiteral("Vantrex Report Summary"));
        gpUnloadPreview();
        run.gbPreviewDone = true;
        return;
    }
    run.gbPreviewDone = false;

    const QString style = common().USEurope;
    std::int64_t vendorCost = 0, vendorRetail = 0, grandCost = 0, grandRetail = 0;
    for (int i = 1; i <= n; ++i) {
        const ReceivedOrderRec& o = st.gSortedOrders[i];
        if (i > 1 && o.VendorCode != st.gSortedOrders[i - 1].VendorCode) {
            gpPrintBlankRow(printer);
            if (!exporting) {
                printer.setFontBold(true);
                printer.tableText(row(QStringLiteral("|||Total:|") + gsMoney(vendorCost) + u'|' +
                                      gsMoney(vendorRetail)));
                gpPrintBlankRow(printer);
                printer.setFontBold(false);
                grandCost += vendorCost;
                grandRetail += vendorRetail;
            }
            vendorCost = vendorRetail = 0;
            pumpEvents();
        }
        vendorCost += o.Cost;
        vendorRetail += o.Retail;

        const QString vendorPO = gsVendorPONumber(o.PONumber);
        const QString date = gsDisplayDate(o.DateReceived, style);
        if (exporting) {
            const QString code = o.VendorCode.trimmed();
            exportLines << code + u'|' + vendorPO + u'|' + date + u'|' + gsMoney(o.Cost);
            printer.tableText(row(code + u'|' + o.VendorName + u'|' + vendorPO + u'|' + date +
                                  u'|' + gsMoney(o.Cost)));
        } else {
            printer.tableText(row(o.VendorCode + u'|' + o.VendorName + u'|' + vendorPO + u'|' +
                                  date + u'|' + gsMoney(o.Cost) + u'|' + gsMoney(o.Retail)));
        }
    }
    if (exporting) {
        writeExport(exportLines);
    } else {
        grandCost += vendorCost;
        grandRetail += vendorRetail;
    }

    printer.setFontBold(true);
    gpPrintBlankRow(printer);
    if (!exporting) {
        printer.tableText(
            row(QStringLiteral("|||Total:|") + gsMoney(vendorCost) + u'|' + gsMoney(vendorRetail)));
        gpPrintBlankRow(printer);
        printer.tableText(row(QStringLiteral("|||Final Total:|") + gsMoney(grandCost) + u'|' +
                              gsMoney(grandRetail)));
        pumpEvents();
    }
}

} // namespace vx::report
