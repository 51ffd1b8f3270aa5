// Pictures of the station and data path dialog and of the path browser, for a look at how they
// appear: a first run, a station with its import and export path, and the browser with and
// without its file list. Everything they show lives in a throw-away home folder.
//
//   dialog-screenshots FOLDER   (runs without a display: QT_QPA_PLATFORM=offscreen)
#include "datapath/clsdatapath.h"
#include "datapath/ui/frm_sm_datapath2.h"
#include "datapath/ui/frm_smfile_path.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

namespace {

bool save(QWidget& window, const QString& path) {
    window.show();
    QApplication::processEvents();
    const bool ok = window.grab().save(path);
    window.hide();
    std::fprintf(ok ? stdout : stderr, ok ? "%s\n" : "cannot write %s\n", qPrintable(path));
    return ok;
}

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
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: dialog-screenshots FOLDER\n");
        return 3;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    QTemporaryDir root;
    const QString home = root.path() + QStringLiteral("/home/ann");
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
    makeHome(home);
    QDir::setCurrent(home);
    bool ok = true;

    vx::clsDataPath first;
    first.setMaxStations(50);
    first.setStationNumberEnabled(true);
    vx::frmSM_DATAPATH2 firstRun(first);
    ok &= save(firstRun, out.filePath(QStringLiteral("datapath-first-run.png")));

    vx::clsDataPath station;
    station.setMaxStations(50);
    station.setStation(QStringLiteral("3"));
    station.setDataPath(QStringLiteral("C:\\TK"));
    station.setNetwork(true);
    station.setTestPath(QStringLiteral("Y"));
    station.setStationNumberEnabled(true);
    vx::dataPathUiState().gsImportExportPath = QStringLiteral("C:\\TK\\export");
    vx::frmSM_DATAPATH2 stored(station);
    ok &= save(stored, out.filePath(QStringLiteral("datapath-stored.png")));

    vx::PathBrowserState& browser = vx::pathBrowserState();
    browser.Drive = QStringLiteral("C:");
    browser.Path = QStringLiteral("C:\\TK");
    vx::frmSMFILE_PATH folders;
    ok &= save(folders, out.filePath(QStringLiteral("browser-folders.png")));

    browser.ShowFiles = true;
    browser.Pattern = QStringLiteral("*.JOV");
    vx::frmSMFILE_PATH files;
    ok &= save(files, out.filePath(QStringLiteral("browser-files.png")));
    return ok ? 0 : 1;
}
