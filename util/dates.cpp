#include "util/dates.h"

#include "platform/regional.h"
#include "util/text.h"

namespace vx {

namespace {
bool isDayFirst(const QString& style) {
    return style == QLatin1String("E");
}
} // namespace

QString gsDisplayDate(const QString& stored, const QString& style) {
    if (trimBlanks(stored).isEmpty())
        return stored + QStringLiteral("  ");
    const QString year = stored.left(4), month = stored.mid(4, 2), day = stored.mid(6, 2);
    const QString slash = QStringLiteral("/");
    if (isDayFirst(style))
        return day + slash + month + slash + year;
    return month + slash + day + slash + year;
}

// The display text is reformatted in the style's order first, so that one-digit days and months
// and other forms the locale accepts come out padded. A text that is no date keeps its form;
// then a one-digit part is padded by hand where the separator is "/", and otherwise the
// characters are taken as they stand.
QString gsStoredDate(QString& display, const QString& style) {
    if (trimBlanks(display).isEmpty())
        return display;
    if (isDayFirst(style)) {
        display = formatDateText(display, QStringLiteral("dd/mm/yyyy"));
        if (display.mid(4, 1) == QLatin1String("/"))
            display.insert(3, u'0');
        return display.right(4) + display.mid(3, 2) + display.left(2);
    }
    display = formatDateText(display, QStringLiteral("mm/dd/yyyy"));
    if (display.mid(1, 1) == QLatin1String("/"))
        display.prepend(u'0');
    return display.right(4) + display.left(2) + display.mid(3, 2);
}

} // namespace vx
