// Pictures of the station and data path dialog and of the path browser, for a look at how they
// appear: a first run, a station with its import and export path, and the browser with and
// without its file list. Everything they show lives in a throw-away home folder.
//
//   dialog-screenshots FOLDER   (runs without a display: QT_QPA_PLATFORM=offscreen)
#include "datapath/clsdatapath.h"
#include "datapath/ui/frm_sm_datapath2.h"
#include "datapath/ui/frm_smfile_path.h"

#include "util/ui/screenshot_tool.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

namespace {

void touch(const QString& path) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write("x");
}

// A home folder with the store's data folder, a few of its files and some other folders.
void makeHome(const QString& home) {
    for (const char* folder : {"TK/export", "TK/backup", "TK/reports", "Documents", "jovsafe"})
        QDir().mkpath(home + u'/' + QLatin1String(folder));
    for (const char* file : {"INVT1.JOV", "VENDOR.JOV", "POHEADER.JOV", "STA1.JOV", "JOV.INI",
                             "WINREGS.INI", "upper.alt"})
        touch(home + QStringLiteral("/TK/") + QLatin1String(file));
}

} // namespace

int main(int argc, char** argv) {
    vx::ScreenshotTool tool("dialog-screenshots");
    QApplication app(argc, argv);
    if (!tool.start(argc, argv))
        return 3;
    const QString home = tool.makeHome();
    makeHome(home);
    QDir::setCurrent(home);
    bool ok = true;

    vx::clsDataPath first;
    first.setMaxStations(50);
    first.setStationNumberEnabled(true);
    vx::frmSM_DATAPATH2 firstRun(first);
    ok &= tool.save(firstRun, QStringLiteral("datapath-first-run.png"));

    vx::clsDataPath station;
    station.setMaxStations(50);
    station.setStation(QStringLiteral("3"));
    station.setDataPath(QStringLiteral("C:\\TK"));
    station.setNetwork(true);
    station.setTestPath(QStringLiteral("Y"));
    station.setStationNumberEnabled(true);
    vx::dataPathUiState().gsImportExportPath = QStringLiteral("C:\\TK\\export");
    vx::frmSM_DATAPATH2 stored(station);
    ok &= tool.save(stored, QStringLiteral("datapath-stored.png"));

    vx::PathBrowserState& browser = vx::pathBrowserState();
    browser.Drive = QStringLiteral("C:");
    browser.Path = QStringLiteral("C:\\TK");
    vx::frmSMFILE_PATH folders;
    ok &= tool.save(folders, QStringLiteral("browser-folders.png"));

    browser.ShowFiles = true;
    browser.Pattern = QStringLiteral("*.JOV");
    vx::frmSMFILE_PATH files;
    ok &= tool.save(files, QStringLiteral("browser-files.png"));
    return ok ? 0 : 1;
}
