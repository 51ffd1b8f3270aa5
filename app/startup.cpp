#include "app/startup.h"

#include "app/commandline.h"
#include "app/direct_run.h"
#include "app/exit_status.h"
#include "datapath/clsdatapath.h"
#include "datapath/datapath_ops.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/runtime.h"
#include "runstate/runstate.h"
#include "tables/dispatch.h"
#include "util/ini_services.h"

#include <cstdio>

namespace vx {

namespace {

QString dataFile(const QString& name) {
    return joinPath(nativePath(gDataPath().DataPath()), name);
}

WindowedStart& windowedStart() {
    static WindowedStart start;
    return start;
}

} // namespace

void setWindowedStart(WindowedStart start) {
    windowedStart() = std::move(start);
}

void gpReadCompanyInfo() {
    gIni().File_Name(dataFile(QStringLiteral("WINREGS.INI")));
    setPointer(Pointer::Hourglass);
    if (gIni().FileOpen())
        runState().gsCompanyName =
            gIni().getvalue(QStringLiteral("JOVURM"), QStringLiteral("Company"));
    setPointer(Pointer::Default);
    pumpEvents();
}

QString gfsReadDailyReportOptions() {
    const QString name = QStringLiteral("JOV.INI");
    gIni().File_Name(dataFile(name));
    if (!gIni().FileOpen()) {
        MsgBox(QStringLiteral("Unable to open JOV Configuration Settings File, ") + name +
                   QStringLiteral("."),
               MsgButtons::Ok, MsgIcon::None, QStringLiteral("Error"));
        return QString();
    }
    pumpEvents();
    const QString value = gIni().getvalue(
        QStringLiteral("DAILY REPORTS"), QStringLiteral("Show Store Number for Store 1 on Reports"),
        QStringLiteral("No"));
    runState().gbShowStore1Number = value == QLatin1String("Yes");
    return value;
}

void gpEndProgram(int status) {
    endProgram(status);
}

int Main(const ProgramOptions& options) {
    // 0. The program folder, where the run keeps its files (an installed program's is the
    // user's own, made at its first start).
    QString error;
    if (!prepareProgramDir(&error)) {
        MsgBox(error, MsgButtons::Ok, MsgIcon::Critical);
        return kExitStartupFailed;
    }

    // 1. The run parameters.
    gpParseCommandLine(options.commandLine);

    // 2. The station's data path; without one the program ends (the opener has said why).
    if (!gfbJOV_DataPath_startup(true, 0, QString(), false))
        return kExitStartupFailed;

    // 3. The company name for the heading.
    gpReadCompanyInfo();

    // 4. The report's tables (the database layer reports its own problems), which also settles
    // the store.
    if (!tables::gfbOpenReportTables())
        return kExitStartupFailed;

    // 5. Their recordsets.
    if (!tables::gfbOpenReportRecordsets()) {
        tables::gpCloseReportTables();
        return kExitStartupFailed;
    }

    // 6. The daily-report option.
    gfsReadDailyReportOptions();

    // 7. Without a start date the report specifications dialog would open; a batch run has
    // nobody to fill it in.
    if (runState().gsStartDate.isEmpty() && runtimeOptions().batch) {
        MsgBox(QStringLiteral("Batch runs need \"START=\" on the command line: without a start "
                              "date the report specifications dialog would open."),
               MsgButtons::Ok, MsgIcon::Critical);
        return kExitUsage;
    }

    if (runState().gsStartDate.isEmpty()) {
        if (windowedStart().specDialog)
            return windowedStart().specDialog();
        std::fputs("vantrex-report: start-up complete; the report specifications dialog is not "
                   "available in this build\n",
                   stderr);
        return kExitStartupFailed;
    }

    // 8 to 10. The direct run: shown in the preview, or written to a file when there is no
    // window or the options ask for one.
    if (!runtimeOptions().batch && windowedStart().previewRun)
        return windowedStart().previewRun();
    return gfiDirectRun(options.pdfFile, options.textFile);
}

} // namespace vx
