#include "app/report/received_summary.h"

#include "db/server_watch.h"

#include "app/report/lookups.h"
#include "app/report/report_common.h"
#include "app/report/report_run.h"
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
#include <map>
#include <optional>
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

// Vendor names and item prices looked up while the history rows are walked. A range holds many
// rows per vendor and per item, and neither changes during a run, so each is read once (and a
// long range reads the tables whole, see lookups.h).
class LookupCache {
  public:
    // The vendor's trimmed name, empty when there is no such vendor.
    QString vendorName(const QString& vendorCode) {
        vendor().VENDCODE = vendorCode;
        return vendors_.get(vendorCode, comparedKey(vendor().VENDCODE.str())).value_or(QString());
    }

    // The item's price, nothing when the item does not exist.
    std::optional<std::int64_t> itemPrice(std::int32_t invUid) {
        // Most rows ask for an item asked for before: those need no text key.
        auto it = byNumber_.find(invUid);
        if (it == byNumber_.end()) {
            const QString key = QString::number(invUid);
            it = byNumber_.emplace(invUid, prices_.get(key, key)).first;
        }
        return it->second;
    }

  private:
    TableLookup<QString> vendors_{
        kVendors,
        [](const QString& code) -> std::optional<QString> {
            vendor().VENDCODE = code;
            if (db::gfbDB_Operation(kVendors, db::kOpEqual, 1))
                return vendor().BUSINESS.trimmed();
            return std::nullopt;
        },
        QStringLiteral("VENDCODE, BUSINESS"),
        [] {
            fillRecordColumns(kVendors, jovDBSM_Vendors::definition(), vendor());
            return std::pair{comparedStored(vendor().VENDCODE.str()), vendor().BUSINESS.trimmed()};
        }};
    TableLookup<std::int64_t> prices_{
        kInventory,
        [](const QString& key) -> std::optional<std::int64_t> {
            inventory().RecordNum = key.toInt();
            if (db::gfbDB_Operation(kInventory, db::kOpEqual, 0))
                return inventory().Price;
            return std::nullopt;
        },
        QStringLiteral("RecordNum, Price"),
        [] {
            fillRecordColumns(kInventory, jovDBSM_Inventory::definition(), inventory());
            return std::pair{QString::number(inventory().RecordNum), inventory().Price};
        }};
    std::unordered_map<std::int32_t, std::optional<std::int64_t>> byNumber_;
};

// The vendors' PO numbers of the printed orders: gsVendorPONumber's answers, remembered (a PO
// not on file keeps its own number).
class VendorPONumbers {
  public:
    QString of(const QString& poNumber) {
        poHeader().PO = poNumber;
        return numbers_.get(poNumber, comparedKey(poHeader().PO.str())).value_or(poNumber);
    }

  private:
    TableLookup<QString> numbers_{
        kPOHeader, [](const QString& po) -> std::optional<QString> { return gsVendorPONumber(po); },
        QStringLiteral("PO, VendorPONum"),
        [] {
            fillRecordColumns(kPOHeader, jovDBSM_POHeader::definition(), poHeader());
            return std::pair{comparedStored(poHeader().PO.str()), poHeader().VendorPONum.str()};
        }};
};

// Adds one history row's amounts to its order.
void addRow(ReceivedOrderRec& order, const POHistoryRec& row, LookupCache& cache) {
    order.Cost += gcyTimes(row.UnitCost, row.UnitQty);
    if (const auto price = cache.itemPrice(row.InvUID))
        order.Retail += gcyTimes(*price, row.UnitQty);
}

// The history fields the summary reads; the others of a range's rows are not converted.
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
    // Rows are not kept: a year of a busy store is a million of them.
    std::vector<ReceivedOrderRec>& found = st.gReceivedOrders;
    LookupCache cache;
    auto& rs = db::currentRecordset(kPOHistory);
    std::int64_t rowsRead = 0;
    QString previousPO;
    while (rs && !rs->eof()) {
        fillRecordFields(kPOHistory, jovDBSM_POHistory::definition(), hist, summaryFields());
        const QString po = hist.PONumber;
        if (rowsRead == 0 || po != previousPO) {
            ReceivedOrderRec order;
            order.VendorCode = hist.VendorCode;
            order.DateReceived = hist.DateReceived;
            order.PONumber = po;
            order.VendorName = cache.vendorName(order.VendorCode);
            found.push_back(std::move(order));
        }
        addRow(found.back(), hist, cache);
        previousPO = po;
        if (++rowsRead % 1000 == 0) {
            gpShowProgress(QStringLiteral("Processing"), rowsRead);
            if (gfbReportCancelled()) {
                rs.reset(); // a range left half read would keep the server's cursor open
                return 0;
            }
        }
        if (!rs->moveNext())
            break;
    }
    // A read that failed part way (the server gone, the connection lost) must not print the
    // orders read so far as if they were all of them.
    if (rs && rs->lastError().number != 0) {
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
