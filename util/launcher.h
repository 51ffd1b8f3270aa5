#pragma once
// Starting another program of the suite with the suite's common switches, and waiting for it.

#include <QString>

namespace vx {

struct SuiteProgramArgs {
    QString folder;  // folder of the program, without a trailing separator
    QString program; // file name of the program
    QString app, station, stationPath, dataPath, appDesc, appVer, tkSC, network, maxStations;
    QString extra; // appended as it is when not blank after trimming
};

// The command line: folder, "/", program, one blank, then "/APP=" app + " " and so on for each
// switch whose value compares greater than a single blank ("/MAXSTATIONS=" gets no blank
// behind it), then one blank and extra when extra is not blank.
QString gsSuiteCommandLine(const SuiteProgramArgs& args);

// Runs that command line and waits until the program has ended; a program that cannot be
// started is not reported. The program's path is taken whole (blanks included); the rest of the
// line reaches the program as words split at blanks, quotes and backslashes kept as they are.
void gpRunSuiteProgram(const SuiteProgramArgs& args);

} // namespace vx
