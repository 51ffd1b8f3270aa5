// Fuzz target: date texts as typed or stored, with a format pattern taken from the input too.
#include "fuzz/fuzz_support.h"
#include "platform/regional.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vx::fuzz::setUpOnce();
    const QString input = vx::fuzz::text(data, size);
    const qsizetype bar = input.indexOf(u'|');
    const QString date = bar < 0 ? input : input.left(bar);
    const QString pattern = bar < 0 ? QStringLiteral("yyyymmdd") : input.mid(bar + 1);
    vx::parseDate(date);
    vx::formatDateText(date, pattern);
    vx::formatDateTime(QDateTime(QDate(2024, 2, 29), QTime(13, 5, 9)), pattern);
    return 0;
}
