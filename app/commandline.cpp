#include "app/commandline.h"

#include "platform/regional.h"
#include "runstate/runstate.h"
#include "util/text.h"

namespace vx {

void gpParseCommandLine(const QString& commandLine) {
    RunState& rs = runState();
    const QString bar = QStringLiteral("|");
    auto value = [&](const char* tag) {
        return gsFieldValue(commandLine, QLatin1String(tag), bar);
    };
    rs.gsStartDate = value("START=");
    rs.gsEndDate = value("END=");
    rs.gsExportDate = rs.gsEndDate;
    rs.gbShowDeleted = value("DELETED=") == QLatin1String("D");
    rs.gbVatReport = value("TAX=") == QLatin1String("Y");
    if (rs.gbVatReport) {
        rs.gsStartKey = formatDateText(rs.gsStartDate, QStringLiteral("yyyymmdd"));
        rs.gsEndKey = formatDateText(rs.gsEndDate, QStringLiteral("yyyymmdd"));
    }
    rs.gsStore = value("STORE=");
    rs.gbWriteExport = value("EXPORT=") == QLatin1String("Y");
}

} // namespace vx
