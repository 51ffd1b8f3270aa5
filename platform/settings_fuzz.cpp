// Fuzz target: the settings store, reading a settings file of any content.
#include "fuzz/fuzz_support.h"
#include "platform/settings.h"

#include <QDir>
#include <QFileInfo>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vx::fuzz::setUpOnce();
    const QString app = QStringLiteral("JOV Settings");
    const QString file = vx::settingsFile(app);
    QDir().mkpath(QFileInfo(file).absolutePath());
    vx::fuzz::writeFile(file, vx::fuzz::bytes(data, size));
    for (const char* key : {"Server", "DBName", "UserName", "Password", "DATAPATH"})
        vx::GetSetting(app, QStringLiteral("DATABASE"), QLatin1String(key));
    vx::SaveSetting(app, QStringLiteral("DATABASE"), QStringLiteral("Fuzz"), QStringLiteral("1"));
    return 0;
}
