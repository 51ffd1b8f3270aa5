#include "tables/record_codec.h"

#include <algorithm>

namespace vx::tables {

QString FixedText::fit(const QString& value, int width) {
    // A value of exactly the width, as a CHAR column of that width delivers it, is kept as it is.
    if (value.size() == width &&
        std::none_of(value.begin(), value.end(), [](QChar c) { return c.isSurrogate(); }))
        return value;
    // Count characters, not UTF-16 units: a surrogate pair is one character.
    QString out;
    out.reserve(width);
    int count = 0;
    for (qsizetype i = 0; i < value.size() && count < width; ++i, ++count) {
        out += value[i];
        if (value[i].isHighSurrogate() && i + 1 < value.size())
            out += value[++i];
    }
    for (; count < width; ++count)
        out += u' ';
    return out;
}

void setDescriptor(std::int16_t table, const Descriptor& d) {
    db::DBTableInfo& info = db::tableInfo(table);
    info.TableKey = d.logicalName;
    info.FilePath = d.dataFile;
    info.TableName = d.sqlName;
    info.Description = d.displayName;
    info.IsOpen = false;
    info.Reserved18 = 0;
    info.PositionFlag = 0;
}

QString numberText(std::int64_t v) {
    return QString::number(v);
}

QString numberText(float v) {
    // A single's seven significant digits, always with "." as the decimal point.
    return QString::number(static_cast<double>(v), 'g', 7);
}

QString currencyText(std::int64_t tenThousandths) {
    const bool negative = tenThousandths < 0;
    const std::uint64_t a = negative ? 0 - static_cast<std::uint64_t>(tenThousandths)
                                     : static_cast<std::uint64_t>(tenThousandths);
    QString text = QString::number(a / 10000);
    QString frac = QString::number(a % 10000).rightJustified(4, u'0');
    while (frac.endsWith(u'0'))
        frac.chop(1);
    if (!frac.isEmpty())
        text += u'.' + frac;
    return negative ? u'-' + text : text;
}

} // namespace vx::tables
