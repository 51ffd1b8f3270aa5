#pragma once
// reportsCommon: the report specification file "RptVantrex.RSF" that keeps the report's heading
// texts, date range and options between runs. The suite's report manager shares the file, so its
// layout is fixed: one line of tagged values, "[ID]0001[COMPANY]...[FILENAME]...", CR LF ended.

#include <QLatin1String>
#include <QString>
#include <cstdint>

namespace vx {

// The name of the specification file in the program folder.
inline constexpr QLatin1String kReportSpecFileName{"RptVantrex.RSF"};

// The report specification as last read or as the dialog set it. The date range itself
// (gsStartDate, gsEndDate and their keys) lives in the run state.
struct ReportSpec {
    QString gsReportID;        // report identifier; every run writes "0001"
    QString gsReportCompany;   // company name (always the company information's)
    QString gsReportTitle;     // printed under the company name
    QString gsReportSubtitle;  // printed under the title
    int16_t giReportDates = 0; // passed through for the report manager
    QString gsSpec3Label;      // the dialog's first extra field: label and value
    QString gsSpec3;
    QString gsSpec4Label; // the second extra field
    QString gsSpec4;
    bool gbReportPriors = false; // "[PRIORS]" is "Y"
    QString gsReportReg;         // carried through unchanged
    QString gsReportFileName;    // carried through unchanged

    bool operator==(const ReportSpec&) const = default;
};

ReportSpec& reportSpec();
// Back to the state at program start (texts empty, 0, false).
void resetReportSpec();

// Reads the specification file `fileName` from the program folder into reportSpec() and fills
// a blank date range of the run state. False, with nothing changed, when there is no such file.
bool gfbReadReportSpec(const QString& fileName);

// Writes reportSpec() and the run state's date range into `fileName` in the program folder,
// replacing the old file, and derives gsStartKey and gsEndKey ("yyyymmdd") from the dates. When
// the file cannot be written a message box says why and the result is false.
bool gfbWriteReportSpec(const QString& fileName);

// True exactly when `text` is "Y".
bool gfbYesNo(const QString& text);
// "Y" for true, "N" for false.
QString gfsYesNo(bool flag);

} // namespace vx
