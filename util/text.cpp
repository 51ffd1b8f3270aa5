#include "util/text.h"

namespace vx {

QString gsFieldValue(const QString& text, const QString& keyword, const QString& terminator) {
    const qsizetype at = text.indexOf(keyword);
    if (at < 0)
        return QString();
    const qsizetype start = at + keyword.size();
    qsizetype end = text.indexOf(terminator, start);
    if (end < 0)
        end = text.size();
    return trimTrailingBlanks(text.mid(start, end - start));
}

bool gvHasOuterBlanks(const QString& text) {
    return trimBlanks(text).size() != text.size();
}

QString trimTrailingBlanks(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    return text.left(end);
}

QString trimBlanks(const QString& text) {
    qsizetype start = 0;
    while (start < text.size() && text[start] == u' ')
        ++start;
    return trimTrailingBlanks(text.mid(start));
}

} // namespace vx
