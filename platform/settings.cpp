#include "platform/settings.h"

#include "platform/profile.h"

#include <QDir>
#include <sys/stat.h>

namespace vx {

namespace {
QString configHome() {
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QStringLiteral("/.config");
}
} // namespace

QString settingsFile(const QString& app) {
    return configHome() + QStringLiteral("/jov/") + app + QStringLiteral(".ini");
}

QString GetSetting(const QString& app, const QString& section, const QString& key,
                   const QString& def) {
    return profile::readValue(settingsFile(app), section, key).value_or(def);
}

bool SaveSetting(const QString& app, const QString& section, const QString& key,
                 const QString& value) {
    // One line holds one value: a line break would end it and start entries of its own.
    if (value.contains(u'\r') || value.contains(u'\n'))
        return false;
    const QString dir = configHome() + QStringLiteral("/jov");
    if (!QDir().mkpath(dir))
        return false;
    ::chmod(QFile::encodeName(dir).constData(), 0700);
    // The registry kept values exactly; a profile file trims them and strips matching quotes,
    // so a value that would lose something travels in quotes.
    QString stored = value;
    const bool outerBlanks = value != value.trimmed();
    const bool quoted = value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
                        value.back() == value.front();
    if (outerBlanks || quoted)
        stored = u'"' + value + u'"';
    return profile::writeString(section, key, stored, settingsFile(app), 0600, true);
}

QString programSettingsFile() {
    return configHome() + QStringLiteral("/vantrex-report/vantrex-report.ini");
}

QString GetProgramSetting(const QString& section, const QString& key, const QString& def) {
    return profile::readValue(programSettingsFile(), section, key).value_or(def);
}

void DeleteSetting(const QString& app, const QString& section, const QString& key) {
    profile::writeString(section, key, std::nullopt, settingsFile(app), 0600, true);
}

} // namespace vx
