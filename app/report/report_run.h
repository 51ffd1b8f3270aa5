#pragma once
// One report run: writes the report specification back, opens a document in the preview, lets
// one body builder fill it (received-order summary, VAT report or deleted orders) and closes it.
// The page header printed at the start of every page and the page footer are defined here.

#include "output/report_printer.h"

#include <QDateTime>
#include <QString>

namespace vx::report {

// What a run needs from the print preview window.
// Contract:
//  - printer() loads the preview (not yet shown) and returns a fresh, empty document for this
//    run. The reference stays valid until the next call of printer(), also after
//    unloadPreview(); the run closes the document after the body (endDoc) and the preview shows
//    what the document holds once the run returns.
//  - unloadPreview() unloads the preview window: the body found nothing to show. The document
//    is then not shown, whatever the run does with it afterwards.
class ReportHost {
  public:
    virtual ~ReportHost() = default;
    virtual output::ReportPrinter& printer() = 0;
    virtual void unloadPreview() = 0;
};

// Installs the host every run uses (the caller keeps it alive); nullptr: none, and a run does
// nothing.
void setReportHost(ReportHost* host);
ReportHost* reportHost();
// Unloads the installed host's preview, if there is a host.
void gpUnloadPreview();

// The whole run.
void gpRunReport();

// The page header, run by the document at the start of every page.
void gpPrintPageHeader(output::ReportPrinter& printer);
// The centred heading lines: company, report, date range.
void gpPrintHeading(output::ReportPrinter& printer);
// The bold column header row of the report in hand.
void gpPrintColumnHeader(output::ReportPrinter& printer);

// The page footer: "<title>|Page %d|<short date> <h:mm AM/PM>" at `now`.
QString gsPageFooter(const QDateTime& now = QDateTime::currentDateTime());

} // namespace vx::report
