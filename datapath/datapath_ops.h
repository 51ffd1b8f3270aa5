#pragma once
// Start-up of the station and data path: the opener every program of the suite calls before it
// touches any data, and the machine name the database connection identifies itself with.

#include <QString>

namespace vx {

// Sets up gDataPath() for this program (settings "JOV Settings", at least 50 stations), reads
// the stored settings and checks them quietly (after the network check when the marker folder
// "C:\jovsafe" exists). Without a usable data path it asks the user to define one in the
// station and data path dialog (non-network station) or reports that the network is down.
// True when a usable data path results. Of the arguments only iMaxStations is used.
bool gfbJOV_DataPath_startup(bool bStationPathEnabled = false, int iMaxStations = 0,
                             const QString& sAltDefaultPath = {},
                             bool bStationNumberEnabled = false);

// The name of this computer.
QString gsComputerName();

} // namespace vx
