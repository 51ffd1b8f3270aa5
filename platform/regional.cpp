#include "platform/regional.h"

#include <QRegularExpression>
#include <QTime>
#include <cmath>

namespace vx {

namespace {

QLocale localeFrom(std::initializer_list<const char*> vars) {
    QString name;
    for (const char* v : vars) {
        name = qEnvironmentVariable(v);
        if (!name.isEmpty())
            break;
    }
    name = name.section(u'.', 0, 0).section(u'@', 0, 0);
    if (name.isEmpty() || name == QLatin1String("C") || name == QLatin1String("POSIX"))
        return QLocale(QLocale::English, QLocale::UnitedStates);
    return QLocale(name);
}

enum class Order { MDY, DMY, YMD };

Order dateOrder() {
    const QString p = shortDatePattern();
    const qsizetype d = p.indexOf(u'd'), m = p.indexOf(u'M'), y = p.indexOf(u'y');
    if (y >= 0 && y < m && y < d)
        return Order::YMD;
    return (d >= 0 && d < m) ? Order::DMY : Order::MDY;
}

int fullYear(const QString& digits) {
    const int y = digits.toInt();
    if (digits.size() <= 2)
        return y < 30 ? 2000 + y : 1900 + y;
    return y;
}

QString pad2(int v) {
    return QString::number(v).rightJustified(2, u'0');
}

} // namespace

QLocale timeLocale() {
    return localeFrom({"LC_ALL", "LC_TIME", "LANG"});
}
QLocale numberLocale() {
    return localeFrom({"LC_ALL", "LC_NUMERIC", "LANG"});
}

QString shortDatePattern() {
    QString p = timeLocale().dateFormat(QLocale::ShortFormat);
    static const QRegularExpression shortYear(QStringLiteral("(?<!y)y{1,2}(?!y)"));
    p.replace(shortYear, QStringLiteral("yyyy"));
    return p;
}

QString dateSeparator() {
    const QString p = shortDatePattern();
    for (const QChar c : p)
        if (!c.isLetter())
            return QString(c);
    return QStringLiteral("/");
}

std::optional<QDate> parseDate(const QString& text) {
    const QString t = text.trimmed();
    static const QRegularExpression parts(QStringLiteral("^(\\d+)[^\\d]+(\\d+)[^\\d]+(\\d+)$"));
    const auto m = parts.match(t);
    if (!m.hasMatch())
        return std::nullopt;
    const QString a = m.captured(1), b = m.captured(2), c = m.captured(3);
    auto yearOk = [](const QString& s) { return s.size() == 2 || s.size() == 4 || s.size() == 1; };
    int y = 0, mo = 0, d = 0;
    if (a.size() == 4) { // ISO yyyy-mm-dd whatever the locale
        y = a.toInt();
        mo = b.toInt();
        d = c.toInt();
    } else {
        if (a.size() > 2 || b.size() > 2 || !yearOk(c))
            return std::nullopt;
        switch (dateOrder()) {
        case Order::DMY:
            d = a.toInt();
            mo = b.toInt();
            break;
        case Order::MDY:
        case Order::YMD: // a two-digit year first is not accepted; month/day/year then
            mo = a.toInt();
            d = b.toInt();
            break;
        }
        y = fullYear(c);
    }
    QDate date(y, mo, d);
    // As the suite has always read dates: when only the other order of day and month makes a
    // date ("13/03/2024" where the month comes first), that order is taken.
    if (!date.isValid() && a.size() != 4)
        date = QDate(y, d, mo);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

QString formatDateTime(const QDateTime& when, const QString& pattern) {
    const QLocale loc = timeLocale();
    const QDate date = when.date();
    const QTime time = when.time();
    const QString named = pattern.trimmed().toLower();
    if (named == QLatin1String("short date"))
        return loc.toString(date, shortDatePattern());
    if (named == QLatin1String("long date"))
        return loc.toString(date, QLocale::LongFormat);
    if (named == QLatin1String("short time"))
        return time.toString(QStringLiteral("HH:mm"));
    if (named == QLatin1String("long time"))
        return loc.toString(time, QLocale::LongFormat);
    if (named == QLatin1String("general date")) {
        QString s = loc.toString(date, shortDatePattern());
        if (time.isValid() && time != QTime(0, 0))
            s += u' ' + formatDateTime(when, QStringLiteral("h:nn:ss AM/PM"));
        return s;
    }

    const bool twelveHour = pattern.contains(QLatin1String("am/pm"), Qt::CaseInsensitive);
    QString out;
    bool afterHour = false; // "m" right after an hour means minutes
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar ch = pattern[i];
        const QChar lc = ch.toLower();
        if (pattern.mid(i, 5).compare(QLatin1String("am/pm"), Qt::CaseInsensitive) == 0) {
            const bool pm = time.hour() >= 12;
            const QString s = pm ? QStringLiteral("PM") : QStringLiteral("AM");
            out += ch.isUpper() ? s : s.toLower();
            i += 5;
            continue;
        }
        if (lc == u'd' || lc == u'm' || lc == u'y' || lc == u'h' || lc == u'n' || lc == u's') {
            qsizetype n = 1;
            while (i + n < pattern.size() && pattern[i + n].toLower() == lc)
                ++n;
            if (lc == u'd') {
                if (n == 1)
                    out += QString::number(date.day());
                else if (n == 2)
                    out += pad2(date.day());
                else if (n == 3)
                    out += loc.dayName(date.dayOfWeek(), QLocale::ShortFormat);
                else
                    out += loc.dayName(date.dayOfWeek(), QLocale::LongFormat);
            } else if (lc == u'y') {
                out += n <= 2 ? pad2(date.year() % 100) : QString::number(date.year());
            } else if (lc == u'h') {
                int h = time.hour();
                if (twelveHour)
                    h = h % 12 == 0 ? 12 : h % 12;
                out += n == 1 ? QString::number(h) : pad2(h);
            } else if (lc == u'n' || (lc == u'm' && afterHour && n <= 2)) {
                out += n == 1 ? QString::number(time.minute()) : pad2(time.minute());
            } else if (lc == u's') {
                out += n == 1 ? QString::number(time.second()) : pad2(time.second());
            } else { // month
                if (n == 1)
                    out += QString::number(date.month());
                else if (n == 2)
                    out += pad2(date.month());
                else if (n == 3)
                    out += loc.monthName(date.month(), QLocale::ShortFormat);
                else
                    out += loc.monthName(date.month(), QLocale::LongFormat);
            }
            afterHour = lc == u'h';
            i += n;
            continue;
        }
        if (ch == u'/') {
            out += dateSeparator();
        } else if (ch == u'"') {
            const qsizetype close = pattern.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? pattern.size() : close;
            out += pattern.mid(i + 1, end - i - 1);
            i = end + 1;
            continue;
        } else if (ch == u'\\' && i + 1 < pattern.size()) {
            out += pattern[++i];
        } else {
            out += ch;
        }
        if (ch != u':' && ch != u' ')
            afterHour = false;
        ++i;
    }
    return out;
}

QString formatDate(const QDate& date, const QString& pattern) {
    return formatDateTime(QDateTime(date, QTime(0, 0)), pattern);
}

QString formatDateText(const QString& text, const QString& pattern) {
    const auto d = parseDate(text);
    return d ? formatDate(*d, pattern) : text;
}

QString formatNumber(double value, const QString& pattern) {
    const QLocale loc = numberLocale();
    const QString decimalPoint = loc.decimalPoint();
    if (pattern.trimmed().compare(QLatin1String("general number"), Qt::CaseInsensitive) == 0) {
        QString s = QString::number(value, 'f', 10);
        if (s.contains(u'.')) {
            while (s.endsWith(u'0'))
                s.chop(1);
            if (s.endsWith(u'.'))
                s.chop(1);
        }
        if (s == QLatin1String("-0"))
            s = QStringLiteral("0");
        return s.replace(u'.', decimalPoint);
    }

    // Split the pattern into a literal prefix, the number part and a literal suffix.
    static const QRegularExpression numberPart(QStringLiteral("[#0,]*(\\.[#0]*)?"));
    qsizetype start = 0;
    while (start < pattern.size() && !QStringLiteral("#0,.").contains(pattern[start]))
        ++start;
    const auto m = numberPart.match(pattern, start);
    const QString num = m.captured(0);
    const QString prefix = pattern.left(start);
    const QString suffix = pattern.mid(start + num.size());
    const qsizetype dot = num.indexOf(u'.');
    const QString intPart = dot < 0 ? num : num.left(dot);
    const QString fracPart = dot < 0 ? QString() : num.mid(dot + 1);
    const bool grouping = intPart.contains(u',');
    const int minInt = static_cast<int>(intPart.count(u'0'));
    const int minFrac = static_cast<int>(fracPart.count(u'0'));
    const int maxFrac = static_cast<int>(fracPart.size());

    // Round half away from zero at maxFrac decimals, on the value's decimal text (1.005 is
    // 1.00499999... in binary; its ten-decimal text 1.0050000000 rounds as a person expects).
    const QString text = QString::number(std::fabs(value), 'f', 10);
    const qsizetype point = text.indexOf(u'.');
    QString kept = text.left(point) + text.mid(point + 1, maxFrac);
    const bool roundUp = text.at(point + 1 + maxFrac) >= u'5';
    qlonglong scaled = kept.toLongLong();
    if (roundUp)
        ++scaled;
    const bool negative = value < 0 && scaled != 0;
    QString digits = QString::number(scaled);
    if (digits.size() <= maxFrac)
        digits = digits.rightJustified(maxFrac + 1, u'0');
    QString whole = digits.left(digits.size() - maxFrac);
    QString frac = digits.mid(digits.size() - maxFrac);
    while (frac.size() > minFrac && frac.endsWith(u'0'))
        frac.chop(1);
    qsizetype zeros = 0;
    while (zeros < whole.size() && whole[zeros] == u'0')
        ++zeros;
    whole.remove(0, zeros);
    if (whole.size() < minInt)
        whole = whole.rightJustified(minInt, u'0');
    if (grouping && whole.size() > 3) {
        const QString sep = loc.groupSeparator();
        for (qsizetype i = whole.size() - 3; i > 0; i -= 3)
            whole.insert(i, sep);
    }
    QString out = prefix + (negative ? QStringLiteral("-") : QString()) + whole;
    if (dot >= 0 && (maxFrac > 0))
        out += decimalPoint + frac;
    else if (dot >= 0)
        out += decimalPoint;
    return out + suffix;
}

} // namespace vx
