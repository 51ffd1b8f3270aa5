// Fuzz target: the INI engine. The input is a file's content; every section and key it lists
// is read, and one value is written back, which must then read as written.
#include "fuzz/fuzz_support.h"
#include "platform/profile.h"

#include <QStringList>
#include <cstdlib>

using vx::profile::getString;
using vx::profile::OptText;

namespace {

QStringList names(const OptText& section, const QString& file) {
    QString buffer;
    const int n = getString(section, std::nullopt, {}, buffer, 4096, file);
    return buffer.left(n).split(QChar(0), Qt::SkipEmptyParts);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString file = vx::fuzz::setUpOnce() + QStringLiteral("/fuzz.ini");
    vx::fuzz::writeFile(file, vx::fuzz::bytes(data, size));
    for (const QString& section : names(std::nullopt, file)) {
        for (const QString& key : names(section, file)) {
            QString buffer;
            getString(section, key, QStringLiteral("def"), buffer, 255, file);
            vx::profile::readValue(file, section, key);
        }
    }
    if (vx::profile::writeString(QStringLiteral("Fuzz"), QStringLiteral("Key"),
                                 QStringLiteral("value"), file) &&
        vx::profile::readValue(file, QStringLiteral("Fuzz"), QStringLiteral("Key")) !=
            QStringLiteral("value"))
        std::abort(); // a value written must read back
    return 0;
}
