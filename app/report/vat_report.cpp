// The input-VAT report: the VAT of the orders changed in the range, by vendor, and a summary of
// the vendors' totals.
#include "app/report/received_summary.h"
#include "app/report/report_common.h"
#include "db/operations.h"
#include "db/state.h"
#include "db/table_ops.h"
#include "output/progress.h"
#include "platform/messages.h"
#include "runstate/runstate.h"
#include "tables/common.h"
#include "tables/dispatch.h"
#include "tables/po_header.h"
#include "tables/vendors.h"
#include "util/dates.h"

namespace vx::report {

using namespace vx::tables;

namespace {

constexpr char16_t kVatFormat[] = u"<2300|<3000|<1500|^1400|>2000;";

struct VendorVat {
    QString name;
    std::int64_t total = 0;
};

void vatRow(output::ReportPrinter& printer, const QString& cells) {
    printer.tableText(QString::fromUtf16(kVatFormat) + cells);
}

void vendorTotal(output::ReportPrinter& printer, std::int64_t total) {
    printer.setFontBold(true);
    vatRow(printer, QStringLiteral("||TOTAL||") + gsMoney(total));
    printer.setFontBold(false);
    vatRow(printer, QStringLiteral("||||"));
}

} // namespace

QString gsVatReportSQL() {
    const RunState& run = runState();
    return QStringLiteral("SELECT * FROM ") + db::tableInfo(kPOHeader).TableName +
           QStringLiteral(" WHERE spare1 > ' ' AND (STATUS = 'C' or Status = 'B'or Status = "
                          "'U') AND changeDate >='") +
           gsDateLiteral(run.gsStartKey) + QStringLiteral("' AND changeDate <='") +
           gsDateLiteral(run.gsEndKey) + QStringLiteral("' ORDER BY vendorcode");
}

bool gfbPrintVatReport(output::ReportPrinter& printer) {
    if (!db::gfbDB_Query(gsVatReportSQL(), kPOHeader)) {
        if (!gfbServerLost()) // the run's end says what happened instead
            MsgBox(QStringLiteral("No Matching PO's Found"));
        return false;
    }
    const std::vector<POHeaderRec> orders = readRemainingRows(kPOHeader, poHeader());
    const QString style = common().USEurope;
    const bool& summaryOnly = receivedSummaryState().gbVatSummaryOnly; // a page header may set it

    // The vendor table grows with the vendors met, so an eleventh vendor and every one after it
    // is totalled and summarised like the first ten.
    std::vector<VendorVat> vendors;
    for (size_t i = 0; i < orders.size(); ++i) {
        const POHeaderRec& h = orders[i];
        if (i == 0 || h.VENDORCODE.str() != orders[i - 1].VENDORCODE.str()) {
            if (i > 0 && !summaryOnly)
                vendorTotal(printer, vendors.back().total);
            VendorVat v;
            vendor().VENDCODE = h.VENDORCODE.str();
            if (db::gfbDB_Operation(kVendors, db::kOpEqual, 1))
                v.name = vendor().BUSINESS.trimmed();
            vendors.push_back(v);
            if (output::gfbReportCancelled())
                return false;
        }
        const std::int64_t vat = gcyFromNumber(gdLeadingNumber(h.Spare1.trimmed()));
        vendors.back().total += vat;
        if (!summaryOnly)
            vatRow(printer, h.VENDORCODE.str() + u'|' + vendors.back().name + u'|' +
                                h.VendorPONum.str() + u'|' + gsDisplayDate(h.CHANGEDATE, style) +
                                u'|' + gsMoney(vat));
    }
    if (!summaryOnly || vendors.size() == 1)
        vendorTotal(printer, vendors.back().total);

    vatRow(printer, QStringLiteral("|SUMMARY|||"));
    std::int64_t sum = 0;
    for (const VendorVat& v : vendors) {
        vatRow(printer, u'|' + v.name + QStringLiteral("|||") + gsMoney(v.total));
        sum += v.total;
    }
    vatRow(printer, QStringLiteral("||||"));
    printer.setFontBold(true);
    vatRow(printer, QStringLiteral("|TOTAL INPUT VAT|||") + gsMoney(sum));
    printer.setFontBold(false);
    return true;
}

} // namespace vx::report
