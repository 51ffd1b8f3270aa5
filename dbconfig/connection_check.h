#pragma once
// "Test connection" of the configuration program: logs in to the server a configuration names
// and checks that its database is there, reporting the outcome in plain words.

#include "dbconfig/dbconfig.h"

#include <QString>

namespace vx {

struct ConnectionCheck {
    bool ok = false;
    QString message; // never holds the password
};

// `dataPath` is the folder a bare "sqlite:" server stands for (the station's data path).
ConnectionCheck checkConnection(const DbConfig& config, const QString& dataPath);

// The data path of the station, as the suite's settings hold it (empty when none is set).
QString stationDataPath();

} // namespace vx
