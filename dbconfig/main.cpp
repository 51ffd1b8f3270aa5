// JOVDataConfiguration: sets the database the suite's programs use.
#include "dbconfig/dbconfig.h"

#include <QCoreApplication>
#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromUtf8(argv[i]);
    const vx::DbConfigOptions o = vx::parseDbConfigOptions(args);
    if (o.help) {
        std::fputs(vx::dbConfigUsage().toUtf8().constData(), stdout);
        return 0;
    }
    if (!o.error.isEmpty()) {
        std::fprintf(stderr, "JOVDataConfiguration: %s\n\n%s", o.error.toUtf8().constData(),
                     vx::dbConfigUsage().toUtf8().constData());
        return 3;
    }
    std::optional<vx::DbConfig> config = o.config;
    if (!config && ::isatty(STDIN_FILENO))
        config = vx::askOnTerminal(stdin, stdout);
    if (!config) // nobody to ask: the embedded default
        config = vx::embeddedDefault();
    if (!vx::saveDbConfig(*config)) {
        std::fputs("JOVDataConfiguration: the settings file cannot be written\n", stderr);
        return 1;
    }
    return 0;
}
