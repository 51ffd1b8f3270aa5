// JOVDataConfiguration: sets the database the suite's programs use. With options it saves them;
// otherwise it asks the user in its window, or on the terminal when no window can be seen, and
// with nobody to ask it sets the embedded default.
//
// Exit status: 0 saved, 1 cancelled or not written, 3 bad usage.
#include "dbconfig/connection_check.h"
#include "dbconfig/dbconfig.h"
#include "dbconfig/ui/frm_db_config.h"
#include "platform/terminal.h"

#include <QApplication>
#include <QCoreApplication>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

constexpr int kSaved = 0;
constexpr int kNotSaved = 1;
constexpr int kBadUsage = 3;

int save(const vx::DbConfig& config) {
    if (vx::saveDbConfig(config))
        return kSaved;
    std::fputs("JOVDataConfiguration: the settings file cannot be written\n", stderr);
    return kNotSaved;
}

int runWindow(int& argc, char** argv) {
    QApplication app(argc, argv);
    vx::frmDBConfig window(vx::presentDbConfig(), vx::stationDataPath());
    return window.exec() == QDialog::Accepted ? kSaved : kNotSaved;
}

} // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromUtf8(argv[i]);
    const vx::DbConfigOptions o = vx::parseDbConfigOptions(args);
    if (o.help) {
        std::fputs(vx::dbConfigUsage().toUtf8().constData(), stdout);
        return kSaved;
    }
    if (!o.error.isEmpty()) {
        std::fprintf(stderr, "JOVDataConfiguration: %s\n\n%s", o.error.toUtf8().constData(),
                     vx::dbConfigUsage().toUtf8().constData());
        return kBadUsage;
    }
    if (!o.config && vx::userCanSeeWindows())
        return runWindow(argc, argv);

    QCoreApplication app(argc, argv);
    std::optional<vx::DbConfig> config = o.config;
    if (config && o.passwordFromInput) {
        config->password = vx::readSecretLine(stdin, stderr, QStringLiteral("Password: "));
        if (!config->password) {
            std::fputs("JOVDataConfiguration: no password on standard input; nothing saved\n",
                       stderr);
            return kNotSaved;
        }
    }
    if (!config && ::isatty(STDIN_FILENO)) {
        config = vx::askOnTerminal(stdin, stdout);
        if (!config) // the input ended before every answer was given
            return kNotSaved;
    }
    if (!config) // nobody to ask: the embedded default
        config = vx::embeddedDefault();
    return save(*config);
}
