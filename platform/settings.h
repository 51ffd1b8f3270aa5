#pragma once
// The per-user settings store of the suite's programs: one profile file per application name,
// $XDG_CONFIG_HOME/jov/<app>.ini (~/.config by default), readable by the user alone because it
// holds the database password.

#include <QString>

namespace vx {

QString settingsFile(const QString& app);
QString GetSetting(const QString& app, const QString& section, const QString& key,
                   const QString& def = {});
// Returns false when the file cannot be written (the settings stay as they were).
bool SaveSetting(const QString& app, const QString& section, const QString& key,
                 const QString& value);
void DeleteSetting(const QString& app, const QString& section, const QString& key);

// The program's own settings, never the suite's: $XDG_CONFIG_HOME/vantrex-report/
// vantrex-report.ini (settings an administrator sets for this program alone).
QString programSettingsFile();
QString GetProgramSetting(const QString& section, const QString& key, const QString& def = {});

} // namespace vx
