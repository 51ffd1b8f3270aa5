#pragma once
// sm_POPrint: the one-off printout of a single received purchase order, asked for from the print
// preview ("F6 Show PO"). It finds the order by the number the user typed and replaces the
// preview's document with the order as received: a title, the vendor block, one row per received
// quantity, the order total and the signature rows.

#include "output/report_printer.h"

#include <QString>
#include <functional>

namespace vx::output {

// Where the printout goes. startPrintout prepares the preview and returns a fresh, empty document
// whose page-start handler is already installed (that handler leaves out the report's page
// header on the first page while gbPOPrint is set); showPrintout shows the finished document.
struct POPrintTarget {
    std::function<ReportPrinter&()> startPrintout;
    std::function<void()> showPrintout;
};

struct POPrintState {
    // Set while a purchase-order printout is being produced.
    bool gbPOPrint = false;
};
POPrintState& poPrintState();
void resetPOPrintState();

namespace sm_POPrint {

// Looks the order up by the vendor's PO number, then by PO number as typed, then by the PO number
// zero-padded to eight characters ("123" finds "00000123"). `number` is the text the user typed,
// already in upper case. False (after telling the user) when no order has that number; otherwise
// the order is printed and the result is true.
bool gfbFindPO(const QString& number, const POPrintTarget& target);

// Prints the order whose header is in the header record buffer. An order without lines is
// reported to the user and nothing is printed.
void gpPrintPO(const POPrintTarget& target);

// The PO number the third look-up tries: the trimmed number right-aligned in eight characters
// with zeros in front (only the last eight characters of a longer number).
QString gsZeroPaddedPO(const QString& number);

} // namespace sm_POPrint

} // namespace vx::output
