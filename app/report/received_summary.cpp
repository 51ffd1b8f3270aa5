#include "app/report/received_summary.h"

#include "db/server_watch.h"

#include "app/report/report_common.h"
#include "app/report/report_run.h"
#include "app/report/summary_lookups.h"
#include "datapath/clsdatapath.h"
#include "db/operations.h"
#include "db/state.h"
#include "db/table_ops.h"
#include "output/progress.h"
#include "platform/err.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/regional.h"
#include "platform/textfile.h"
#include "runstate/runstate.h"
#include "tables/common.h"
#include "tables/dispatch.h"
#include "tables/inventory.h"
#include "tables/po_header.h"
#include "tables/po_history.h"
#include "tables/vendors.h"
#include "util/dates.h"
#include "util/text.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vx::report {

using namespace vx::tables;
using output::gfbReportCancelled;
using output::gpCloseProgress;
using output::gpPumpEvents;
using output::gpShowProgress;
using output::reportProgress;

ReceivedSummaryState& receivedSummaryState() {
    static ReceivedSummaryState state;
    return state;
}

void resetReceivedSummaryState() {
    receivedSummaryState() = ReceivedSummaryState{};
}

namespace {

// Adds one history row's amounts to its order.
void addRow(ReceivedOrderRec& order, const POHistoryRec& row, LookupCache& cache) {
    order.Cost += gcyTimes(row.UnitCost, row.UnitQty);
    if (const auto price = cache.itemPrice(row.InvUID))
        order.Retail += gcyTimes(*price, row.UnitQty);
}

// The history fields the summary reads, in this order; the others of a range's rows are not
// converted.
enum SummaryField {
    kDateReceivedField,
    kPONumberField,
    kInvUIDField,
    kUnitQtyField,
    kUnitCostField,
    kVendorCodeField,
    kSummaryFieldCount
};

// A CHAR value's bytes without the blanks that pad it.
std::string_view withoutTrailingBlanks(std::string_view text) {
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

const std::vector<int>& summaryFields() {
    static const std::vector<int> fields = [] {
        std::vector<int> f;
        for (const char* column :
             {"DateReceived", "PONumber", "InvUID", "UnitQty", "UnitCost", "VendorCode"})
            f.push_back(fieldIndex(jovDBSM_POHistory::definition(), column));
        return f;
    }();
    return fields;
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
           QStringLiteral("') ") +
           // The history table's first key: rows of one order come together in the same order
           // on every engine and with every query plan, so the document is the same everywhere.
           QStringLiteral("ORDER BY Status, DateReceived, PONumber, InvUID");
}

namespace {
// Says that the range could not be read and why; nothing of it is printed or exported.
int readFailed(const QString& why) {
    MsgBox(QStringLiteral("The received purchase orders could not be read to the end.\r\r") + why,
           MsgButtons::Ok, MsgIcon::Critical);
    if (gfbServerLost()) // this message names the server and what became of it
        db::serverLossState().gbLossSaid = true;
    receivedSummaryState().gbReadFailed = true;
    return 0;
}
} // namespace

int giLoadReceivedOrders() {
    ReceivedSummaryState& st = receivedSummaryState();
    st.gReceivedOrders.assign(1, ReceivedOrderRec{});
    st.gSortedOrders.assign(1, ReceivedOrderRec{});

    // A store without a company record keeps its history table unprepared (no name): once
    // connected, it has no orders to read, which is not a failed read.
    if (db::dbState().gbDBConnected && db::tableInfo(kPOHistory).TableName.isEmpty())
        return 0;

    // The whole history table is counted first: an empty table needs no range query. A count
    // or a query that fails (the server gone) is said as such, not as a range without orders.
    Err().Clear();
    if (db::glDB_Count(kPOHistory, db::tableInfo(kPOHistory).TableName) == 0)
        return Err().Number != 0 ? readFailed(Err().Description) : 0;

    POHistoryRec& hist = poHistory();
    hist.Status = QStringLiteral("R");
    // A copy: the conversion rewrites its argument, and the heading keeps the date as entered.
    QString start = runState().gsStartDate;
    hist.DateReceived = gsStoredDate(start, common().USEurope);
    if (!db::gfbDB_Query(gsReceivedOrdersSQL(hist.DateReceived), kPOHistory))
        return Err().Number != 0 ? readFailed(Err().Description) : 0;

    // The rows are walked as the server returns them, each filled into the history buffer; a row
    // of the same order as the row before it adds to that order, any other row starts an order.
    // Rows are not kept: a year of a busy store is a million of them. Only the fields the
    // summary uses are converted, the texts only where an order starts.
    std::vector<ReceivedOrderRec>& found = st.gReceivedOrders;
    LookupCache cache;
    auto& rs = db::currentRecordset(kPOHistory);
    const auto& def = jovDBSM_POHistory::definition();
    const std::vector<int>& fields = summaryFields();
    std::array<int, kSummaryFieldCount> column{};
    for (size_t k = 0; k < fields.size(); ++k)
        column[k] = rs ? rs->fieldIndex(QLatin1String(def.fields[fields[k]].column)) : -1;
    const auto fill = [&](const db::RowView& row, SummaryField f) {
        fillRecordField(def, hist, fields[f], row.value(column[f]));
    };
    std::int64_t rowsRead = 0;
    std::string previousPO;
    bool cancelled = false;
    const bool read = !rs || rs->scan([&](const db::RowView& row) {
        const std::string_view po = withoutTrailingBlanks(row.utf8(column[kPONumberField]));
        if (rowsRead == 0 || po != previousPO) {
            fill(row, kDateReceivedField);
            fill(row, kPONumberField);
            fill(row, kVendorCodeField);
            ReceivedOrderRec order;
            order.VendorCode = hist.VendorCode;
            order.DateReceived = hist.DateReceived;
            order.PONumber = hist.PONumber;
            order.VendorName = cache.vendorName(order.VendorCode);
            found.push_back(std::move(order));
            previousPO.assign(po);
        }
        fill(row, kInvUIDField);
        fill(row, kUnitQtyField);
        fill(row, kUnitCostField);
        addRow(found.back(), hist, cache);
        if (++rowsRead % 1000 == 0) {
            gpShowProgress(QStringLiteral("Processing"), rowsRead);
            cancelled = gfbReportCancelled();
        }
        return !cancelled;
    });
    if (cancelled) {
        rs.reset(); // a range left half read would keep the server's cursor open
        return 0;
    }
    // A read that failed part way (the server gone, the connection lost) must not print the
    // orders read so far as if they were all of them.
    if (!read) {
        const QString why = rs->lastError().description;
        rs.reset();
        return readFailed(why);
    }

    // By vendor code, compared by character codes; the orders of one vendor keep the order in
    // which they were found (what a straight insertion before the first greater code gives).
    std::vector<ReceivedOrderRec>& sorted = st.gSortedOrders;
    sorted.insert(sorted.end(), found.begin() + 1, found.end());
    std::stable_sort(sorted.begin() + 1, sorted.end(),
                     [](const ReceivedOrderRec& a, const ReceivedOrderRec& b) {
                         return a.VendorCode < b.VendorCode;
                     });
    return static_cast<int>(found.size() - 1);
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
    receivedSummaryState().gbExportFailed = !writeLines(path, lines, &error);
    if (receivedSummaryState().gbExportFailed)
        MsgBox(QStringLiteral("The export file could not be written.\r\r") + path +
                   QStringLiteral("\r") + error,
               MsgButtons::Ok, MsgIcon::Exclamation);
}

} // namespace

void gpPrintReceivedSummary(output::ReportPrinter& printer) {
    RunState& run = runState();
    ReceivedSummaryState& st = receivedSummaryState();
    st.gbExportFailed = false;
    st.gbReadFailed = false;
    gpPumpEvents();
    const int n = giLoadReceivedOrders();
    if (reportProgress().gbReportCancelled)
        return;
    if (st.gbReadFailed) { // said already; nothing is printed or exported
        gpUnloadPreview();
        run.gbPreviewDone = true;
        return;
    }
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
    VendorPONumbers vendorPONumbers;
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
        }
        if (i % 200 == 0) {
            gpShowProgress(QStringLiteral("Printing"), i);
            if (gfbReportCancelled())
                return;
        }
        vendorCost += o.Cost;
        vendorRetail += o.Retail;

        const QString vendorPO = vendorPONumbers.of(o.PONumber);
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
        gpCloseProgress();
    }
}

} // namespace vx::report
