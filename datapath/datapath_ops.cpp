#include "datapath/datapath_ops.h"

#include "datapath/clsdatapath.h"
#include "datapath/datapath_dialog.h"
#include "datapath/datapath_internal.h"
#include "datapath/network_check.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/runtime.h"

#include <QFile>
#include <algorithm>
#include <limits>

namespace vx {

namespace {

// The fewest stations a store is set up for.
constexpr int kMinStations = 50;
const QString kUpperAlt = QStringLiteral("upper.alt");

// Puts the program folder's "upper.alt" into the data path unless the data path has its own.
void copyUpperAlt(const QString& dataPath) {
    const QString target = joinPath(nativePath(dataPath), kUpperAlt);
    const QString source = joinPath(programDir(), kUpperAlt);
    if (!fileExists(target) && fileExists(source))
        QFile::copy(source, target);
}

} // namespace

namespace detail {

bool runDataPathOpener(clsDataPath& settings, OpenerForm form, const OpenerArgs& args) {
    const bool startup = form == OpenerForm::Startup;
    settings.setAppLabel(kJovSettings);
    settings.setCreatePath(false);
    settings.setDefaultNetwork(false);
    const int maxStations = std::min<int>(std::max(args.iMaxStations, kMinStations),
                                          std::numeric_limits<qint16>::max());
    settings.setMaxStations(static_cast<qint16>(maxStations));
    settings.setDefaultStation(QStringLiteral("1"));
    settings.setStationNumberEnabled(startup || args.bStationNumberEnabled);
    if (!startup) {
        settings.setStationPathEnabled(args.bStationPathEnabled);
        settings.setSupressFileCheck(args.bStationPathEnabled);
        const QString defaultPath =
            args.sAltDefaultPath.isEmpty() ? QStringLiteral("C:\\TK") : args.sAltDefaultPath;
        settings.setDefaultStationPath(defaultPath);
        settings.setDefaultDataPath(defaultPath);
    }
    settings.setDataPath({});

    settings.Read(true);
    if (!startup)
        settings.setStationPath(dropOneTrailingSeparator(settings.StationPath()));
    settings.setDataPath(dropOneTrailingSeparator(settings.DataPath()));

    if (!settings.DataPath().isEmpty()) {
        // The check's answer does not matter: the validation below decides.
        if (dirExists(nativePath(kJovSafe)))
            gfbNetworkCheck();
        if (settings.Validate(true)) {
            if (startup)
                copyUpperAlt(settings.DataPath());
        } else {
            settings.setDataPath({});
        }
    }
    if (!settings.DataPath().isEmpty())
        return true;

    if (settings.Network()) {
        MsgBox(QStringLiteral("The network is currently down or is not set up properly. ") +
                   QStringLiteral("Please contact your network administrator for help."),
               MsgButtons::Ok, MsgIcon::None, QStringLiteral("Network Not Found"));
        return false;
    }
    if (!AskYesNo(QStringLiteral("A path to the JOV Data Files has not been defined"),
                  QStringLiteral("Do you want to define it now?")))
        return false;
    settings.setCreatePath(true);
    if (startup)
        settings.setStationNumberEnabled(true);
    showDataPathDialog(settings);
    pumpEvents();
    return !settings.DataPath().isEmpty();
}

} // namespace detail

bool gfbJOV_DataPath_startup(bool bStationPathEnabled, int iMaxStations,
                             const QString& sAltDefaultPath, bool bStationNumberEnabled) {
    return detail::runDataPathOpener(
        gDataPath(), detail::OpenerForm::Startup,
        {bStationPathEnabled, iMaxStations, sAltDefaultPath, bStationNumberEnabled});
}

QString gsComputerName() {
    return computerName().left(255);
}

} // namespace vx
