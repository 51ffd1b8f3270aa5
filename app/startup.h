#pragma once
// Start-up of the report program: from the command line to an open data path, the company
// information and the report's options, then either the specifications dialog or a direct run.

#include "app/options.h"

#include <QString>

namespace vx {

// Reads the company name from "WINREGS.INI" in the data path (left empty when the file cannot
// be used).
void gpReadCompanyInfo();

// Reads the daily-report option "Show Store Number for Store 1 on Reports" from "JOV.INI" in the
// data path; a missing file is reported and the run goes on. Returns the option's text.
QString gfsReadDailyReportOptions();

// Closes the print preview and ends the program with `status`.
[[noreturn]] void gpEndProgram(int status = 0);

// The whole start-up; returns the program's exit status.
int Main(const ProgramOptions& options);

} // namespace vx
