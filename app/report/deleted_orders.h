#pragma once
// The deleted-order report: the cancelled purchase orders from the start date on, newest order
// number first, each with its lines and who cancelled it.

#include "output/report_printer.h"
#include "tables/po_header.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace vx::report {

struct DeletedOrdersState {
    // The cancelled headers kept for the report, indexed from 1 (element 0 stays empty).
    std::vector<tables::POHeaderRec> gCancelledOrders{1};
};

DeletedOrdersState& deletedOrdersState();
void resetDeletedOrdersState();

// Reads the cancelled headers (status "X", key 4 from the last one backwards) whose cancel date
// is not before the start date; the number kept.
std::int16_t giLoadCancelledOrders();
// Loads and prints the report; "Nothing to report" when there is no order.
void gpPrintDeletedReport(output::ReportPrinter& printer);
// The one-row table that opens order `index`: cancel date, vendor PO, vendor, order date.
void gpPrintOrderBlock(output::ReportPrinter& printer, int index);
// The line of underscores between orders.
void gpPrintRule(output::ReportPrinter& printer);
// An S/L code for print: "~..." stays; otherwise its first 7 characters, ".", its last one.
QString gsFormatSL(const QString& sl);

} // namespace vx::report
