#pragma once
// The run parameters and flags of one report run. Start-up sets them from the command line, the
// report specification and the company information; every layer of the report reads them.

#include <QString>

namespace vx {

struct RunState {
    QString gsStartDate;             // first date of the range, as entered
    QString gsEndDate;               // last date of the range, as entered
    QString gsStartKey;              // gsStartDate as "yyyymmdd"
    QString gsEndKey;                // gsEndDate as "yyyymmdd"
    QString gsExportDate;            // the command line's END= value, never changed afterwards
    bool gbShowDeleted = false;      // deleted-order report
    bool gbVatReport = false;        // input-VAT report
    QString gsStore;                 // store number as text
    bool gbWriteExport = false;      // write the export text file
    QString gsCompanyName;           // from the company information file
    bool gbShowStore1Number = false; // heading shows the store number for store 1 too
    bool gbDirectRun = false;        // started from the command line with a start date
    bool gbShowPOButton = false;     // the preview offers its purchase-order button
    bool gbPreviewDone = false;      // the waiting start-up may end the program
};

RunState& runState();
// Back to the state at program start (every flag false, every text empty).
void resetRunState();

} // namespace vx
