#pragma once
// The bodies of the two vendor-grouped reports: the summary of purchase orders received in the
// date range (with its optional export text file) and the input-VAT report. Both read the tables
// through the record manager and write rows of table text into the report document.

#include "output/report_printer.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace vx::report {

// One received purchase order: the sums over its history rows.
struct ReceivedOrderRec {
    QString VendorCode;      // the history row's vendor code (15 characters)
    QString DateReceived;    // "yyyymmdd"
    QString VendorName;      // the vendor's name, blanks trimmed; empty when there is no vendor
    QString PONumber;        // the history row's PO number (10 characters)
    std::int64_t Cost = 0;   // currency: unit cost times quantity over the order's rows
    std::int64_t Retail = 0; // currency: item price times quantity, rows whose item exists
};

struct ReceivedSummaryState {
    // Both indexed 1 to giOrderCount; element 0 stays empty. gReceivedOrders in the order the
    // orders were found, gSortedOrders by vendor code.
    std::vector<ReceivedOrderRec> gReceivedOrders{1};
    std::vector<ReceivedOrderRec> gSortedOrders{1};
    // A range of a busy store holds more orders than a 16-bit count.
    int giOrderCount = 0;
    bool gbVatSummaryOnly = false; // the VAT report prints its summary only
    bool gbExportFailed = false;   // the run's export file could not be written
    bool gbReadFailed = false;     // the range's rows could not be read to the end
};

ReceivedSummaryState& receivedSummaryState();
void resetReceivedSummaryState();

// Reads the received history rows of the range into gReceivedOrders and gSortedOrders; the
// number of orders (0 also when the user cancelled the report).
int giLoadReceivedOrders();
// The history statement of the range (what giLoadReceivedOrders runs); `startKey` is the stored
// form of the start date.
QString gsReceivedOrdersSQL(const QString& startKey);

// Loads and prints the received-order summary; writes the export file when requested.
void gpPrintReceivedSummary(output::ReportPrinter& printer);
// The row of six empty cells between vendors.
void gpPrintBlankRow(output::ReportPrinter& printer);
// The vendor's own PO number of an order (its header's VendorPONum), or the number itself when
// the order has no header.
QString gsVendorPONumber(const QString& poNumber);
// Where the export file of this run is written: <data path>/export/Vantrex<yyyymmdd>.txt.
QString gsExportFilePath();

// Loads and prints the input-VAT report; false when there was nothing to print.
bool gfbPrintVatReport(output::ReportPrinter& printer);
// The VAT report's statement of the range.
QString gsVatReportSQL();

} // namespace vx::report
