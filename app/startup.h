#pragma once
// Start-up of the report program: from the command line to an open data path, the company
// information and the report's options, then either the specifications dialog or a direct run.

#include "app/options.h"

#include <QString>
#include <functional>

namespace vx {

// Reads the company name from "WINREGS.INI" in the data path (left empty when the file cannot
// be used).
void gpReadCompanyInfo();

// Reads the daily-report option "Show Store Number for Store 1 on Reports" from "JOV.INI" in the
// data path; a missing file is reported and the run goes on. Returns the option's text.
QString gfsReadDailyReportOptions();

// Closes the print preview and ends the program with `status`.
[[noreturn]] void gpEndProgram(int status = 0);

// What the windowed program adds to start-up. Empty members: not available (batch runs, tests).
struct WindowedStart {
    // Steps 8 to 10 with the print preview: runs the report, waits until the preview is done and
    // returns the exit status.
    std::function<int()> previewRun;
    // Step 7: the report specifications dialog; returns the exit status once the dialog ends.
    std::function<int()> specDialog;
};
void setWindowedStart(WindowedStart start);

// The whole start-up; returns the program's exit status.
int Main(const ProgramOptions& options);

} // namespace vx
