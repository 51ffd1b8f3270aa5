#pragma once
// Pieces shared by the settings class and the start-up opener; not for other modules.

#include <QString>

namespace vx {

class clsDataPath;

namespace detail {

// Drops one trailing "\" or "/" from a path; a path that is nothing but the separator stays.
QString dropOneTrailingSeparator(const QString& path);

// The two forms of the opener: the start-up module's, and the settings object's own.
enum class OpenerForm { Startup, Object };

struct OpenerArgs {
    bool bStationPathEnabled = false;
    int iMaxStations = 0;
    QString sAltDefaultPath;
    bool bStationNumberEnabled = false;
};

// Reads, checks and, when needed, asks for the station and data path of `settings`; true when
// a usable data path results.
bool runDataPathOpener(clsDataPath& settings, OpenerForm form, const OpenerArgs& args);

} // namespace detail
} // namespace vx
