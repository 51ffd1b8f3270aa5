#include "db/value.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

namespace vx::db {
namespace {

using Wide = __int128;
constexpr int kMaxScale = 18;
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

Wide pow10(int n) {
    Wide p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10;
    return p;
}

std::optional<std::int64_t> narrow(Wide v) {
    if (v > kMax || v < kMin)
        return std::nullopt;
    return static_cast<std::int64_t>(v);
}

std::int64_t clamp(Wide v) {
    return v > kMax ? kMax : v < kMin ? kMin : static_cast<std::int64_t>(v);
}

// v / d rounded to a whole number; ties to even or away from zero.
Wide divRound(Wide v, Wide d, bool halfEven) {
    Wide q = v / d;
    const Wide r = v % d;
    const Wide twice = (r < 0 ? -r : r) * 2;
    const bool up = twice > d || (twice == d && (!halfEven || q % 2 != 0));
    if (up)
        q += v < 0 ? -1 : 1;
    return q;
}

struct Exact {
    std::int64_t unscaled = 0;
    int scale = 0;
};

// A decimal number at the start of `s` (blanks, sign, digits, point, digits, exponent). `end`
// receives the index after it. nullopt when there is no number there, or when it does not fit
// 18 decimals and a 64-bit count (`tooBig` is then set).
std::optional<Exact> parseNumber(QStringView s, qsizetype& end, bool& tooBig) {
    tooBig = false;
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n && s[i].isSpace())
        ++i;
    bool negative = false;
    if (i < n && (s[i] == u'-' || s[i] == u'+'))
        negative = s[i++] == u'-';
    Wide mantissa = 0;
    int scale = 0;
    int digits = 0;
    bool overflow = false;
    auto take = [&](QChar c, bool fraction) {
        ++digits;
        if (mantissa > (Wide(kMax) - 9) / 10) {
            overflow = true; // more digits than a 64-bit count holds
            return;
        }
        mantissa = mantissa * 10 + (c.unicode() - u'0');
        if (fraction)
            ++scale;
    };
    for (; i < n && s[i].isDigit() && s[i].unicode() < 128; ++i)
        take(s[i], false);
    if (i < n && s[i] == u'.') {
        ++i;
        for (; i < n && s[i].isDigit() && s[i].unicode() < 128; ++i)
            take(s[i], true);
    }
    if (digits == 0)
        return std::nullopt;
    if (i + 1 < n && (s[i] == u'e' || s[i] == u'E' || s[i] == u'd' || s[i] == u'D')) {
        qsizetype j = i + 1;
        bool expNegative = false;
        if (j < n && (s[j] == u'-' || s[j] == u'+'))
            expNegative = s[j++] == u'-';
        if (j < n && s[j].isDigit()) {
            int exponent = 0;
            for (; j < n && s[j].isDigit() && s[j].unicode() < 128; ++j)
                exponent = std::min(exponent * 10 + (s[j].unicode() - u'0'), 1000);
            scale += expNegative ? exponent : -exponent;
            i = j;
        }
    }
    end = i;
    if (scale < 0) {
        if (-scale > kMaxScale || mantissa * pow10(-scale) > kMax)
            overflow = true;
        else
            mantissa *= pow10(-scale);
        scale = 0;
    }
    if (overflow || scale > kMaxScale) {
        tooBig = true;
        return std::nullopt;
    }
    return Exact{static_cast<std::int64_t>(negative ? -mantissa : mantissa), scale};
}

// The exact decimal of a double's shortest round-trip text ("2.675" for 2.675).
std::optional<Exact> exactOf(double d) {
    if (!std::isfinite(d))
        return std::nullopt;
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, d);
    const QString text = QString::fromLatin1(buf, r.ptr - buf);
    qsizetype end = 0;
    bool tooBig = false;
    return parseNumber(text, end, tooBig);
}

// The leading number of a text as the runtime's Val() reads it; 0 when there is none.
DbValue leadingNumber(const QString& text) {
    qsizetype end = 0;
    bool tooBig = false;
    if (const auto e = parseNumber(text, end, tooBig))
        return DbValue::decimal(e->unscaled, e->scale);
    if (tooBig)
        return DbValue::real(text.left(end > 0 ? end : text.size()).trimmed().toDouble());
    return DbValue::integer(0);
}

QString decimalText(std::int64_t unscaled, int scale) {
    const bool negative = unscaled < 0;
    Wide magnitude = unscaled;
    if (negative)
        magnitude = -magnitude;
    QString digits;
    do {
        digits.prepend(QChar(u'0' + static_cast<int>(magnitude % 10)));
        magnitude /= 10;
    } while (magnitude > 0);
    if (scale > 0) {
        while (digits.size() <= scale)
            digits.prepend(u'0');
        digits.insert(digits.size() - scale, u'.');
    }
    return negative ? QLatin1Char('-') + digits : digits;
}

QString trimZeros(QString s) {
    if (!s.contains(u'.'))
        return s;
    while (s.endsWith(u'0'))
        s.chop(1);
    if (s.endsWith(u'.'))
        s.chop(1);
    return s == QLatin1String("-0") ? QStringLiteral("0") : s;
}

// A double the way the runtime printed one: up to 15 significant digits, no trailing zeros,
// exponent form only for very large or very small magnitudes.
QString realText(double d) {
    if (d == 0 || !std::isfinite(d))
        return d == 0 ? QStringLiteral("0") : QString::number(d);
    const double a = std::fabs(d);
    if (a >= 1e15 || a < 1e-5)
        return QString::number(d, 'G', 15);
    const int magnitude = static_cast<int>(std::floor(std::log10(a)));
    return trimZeros(QString::number(d, 'f', std::max(0, 14 - magnitude)));
}

Exact normalized(Exact e) {
    while (e.scale > 0 && e.unscaled % 10 == 0) {
        e.unscaled /= 10;
        --e.scale;
    }
    return e;
}

} // namespace

DbValue DbValue::integer(std::int64_t v) {
    DbValue r;
    r.type_ = Type::Integer;
    r.i_ = v;
    return r;
}

DbValue DbValue::real(double v) {
    DbValue r;
    r.type_ = Type::Real;
    r.d_ = v;
    return r;
}

DbValue DbValue::decimal(std::int64_t unscaled, int scale) {
    DbValue r;
    r.type_ = Type::Decimal;
    r.i_ = unscaled;
    r.scale_ = std::clamp(scale, 0, kMaxScale);
    return r;
}

DbValue DbValue::text(const QString& v) {
    DbValue r;
    r.type_ = Type::Text;
    r.s_ = v;
    return r;
}

DbValue DbValue::decimalFromText(const QString& text) {
    qsizetype end = 0;
    bool tooBig = false;
    const auto e = parseNumber(text, end, tooBig);
    const bool whole = text.mid(end).trimmed().isEmpty();
    if (e && whole)
        return decimal(e->unscaled, e->scale);
    if (tooBig && whole) {
        bool ok = false;
        const double d = text.trimmed().toDouble(&ok);
        return ok ? real(d) : DbValue();
    }
    return DbValue();
}

std::int64_t DbValue::toInt() const {
    switch (type_) {
    case Type::Null:
        return 0;
    case Type::Integer:
        return i_;
    case Type::Real:
        return clamp(static_cast<Wide>(std::nearbyint(std::clamp(d_, -9.2e18, 9.2e18))));
    case Type::Decimal:
        return clamp(divRound(i_, pow10(scale_), true));
    case Type::Text:
        return leadingNumber(s_).toInt();
    }
    return 0;
}

double DbValue::toDouble() const {
    switch (type_) {
    case Type::Null:
        return 0;
    case Type::Integer:
        return static_cast<double>(i_);
    case Type::Real:
        return d_;
    case Type::Decimal:
        return decimalText(i_, scale_).toDouble();
    case Type::Text:
        return leadingNumber(s_).toDouble();
    }
    return 0;
}

QString DbValue::toString() const {
    switch (type_) {
    case Type::Null:
        return QString();
    case Type::Integer:
        return QString::number(i_);
    case Type::Real:
        return realText(d_);
    case Type::Decimal:
        return trimZeros(decimalText(i_, scale_));
    case Type::Text:
        return s_;
    }
    return QString();
}

std::int64_t DbValue::toCurrency() const {
    switch (type_) {
    case Type::Null:
        return 0;
    case Type::Integer:
        return clamp(Wide(i_) * 10000);
    case Type::Real:
        if (const auto e = exactOf(d_))
            return decimal(e->unscaled, e->scale).toCurrency();
        return clamp(static_cast<Wide>(std::nearbyint(std::clamp(d_, -9.2e14, 9.2e14) * 1e4)));
    case Type::Decimal:
        if (scale_ <= 4)
            return clamp(Wide(i_) * pow10(4 - scale_));
        return clamp(divRound(i_, pow10(scale_ - 4), true));
    case Type::Text:
        return leadingNumber(s_).toCurrency();
    }
    return 0;
}

DbValue DbValue::roundedTo(int scale) const {
    scale = std::clamp(scale, 0, kMaxScale);
    if (type_ == Type::Real) {
        const auto e = exactOf(d_);
        return e ? decimal(e->unscaled, e->scale).roundedTo(scale) : *this;
    }
    if (type_ != Type::Decimal)
        return *this;
    if (scale >= scale_) {
        const auto v = narrow(Wide(i_) * pow10(scale - scale_));
        return v ? decimal(*v, scale) : *this;
    }
    return decimal(static_cast<std::int64_t>(divRound(i_, pow10(scale_ - scale), false)), scale);
}

bool operator==(const DbValue& a, const DbValue& b) {
    if (a.type_ != b.type_)
        return false;
    switch (a.type_) {
    case DbValue::Type::Null:
        return true;
    case DbValue::Type::Integer:
        return a.i_ == b.i_;
    case DbValue::Type::Real:
        return a.d_ == b.d_;
    case DbValue::Type::Decimal: {
        const Exact x = normalized({a.i_, a.scale_});
        const Exact y = normalized({b.i_, b.scale_});
        return x.unscaled == y.unscaled && x.scale == y.scale;
    }
    case DbValue::Type::Text:
        return a.s_ == b.s_;
    }
    return false;
}

} // namespace vx::db
