#include "db/backend_support.h"

#include <QRegularExpression>
#include <algorithm>

namespace vx::db {

std::optional<SingleTable> singleTableQuery(const QString& sql) {
    static const QRegularExpression shape(
        QStringLiteral("^\\s*SELECT\\s+(\\*|[A-Za-z_][\\w$#@]*(?:\\s*,\\s*[A-Za-z_][\\w$#@]*)*)"
                       "\\s+FROM\\s+([A-Za-z_][\\w$#@]*)\\s*(?:;\\s*)?"
                       "(?:$|(?:WHERE|ORDER\\s+BY|LIMIT)\\b)"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = shape.match(sql);
    if (!m.hasMatch())
        return std::nullopt;
    static const QRegularExpression keyword(QStringLiteral("^(DISTINCT|ALL)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (keyword.match(m.captured(1).trimmed()).hasMatch())
        return std::nullopt;
    return SingleTable{m.captured(2), m.capturedEnd(1)};
}

QString withRowLocator(const QString& sql, const SingleTable& query, const QString& locator) {
    return sql.left(query.listEnd) + QStringLiteral(", ") + locator + QStringLiteral(" AS ") +
           QLatin1String(kRowLocator) + sql.mid(query.listEnd);
}

bool changesRows(const QString& sql) {
    static const QRegularExpression dml(QStringLiteral("^\\s*(INSERT|UPDATE|DELETE|REPLACE)\\b"),
                                        QRegularExpression::CaseInsensitiveOption);
    return dml.match(sql).hasMatch();
}

namespace {

// Characters, not UTF-16 units: a character outside the basic plane counts once.
qsizetype characters(const QString& s) {
    qsizetype n = s.size();
    for (const QChar c : s)
        n -= c.isLowSurrogate() ? 1 : 0;
    return n;
}

// `s` with blanks added up to `size` characters.
QString padded(QString s, int size) {
    const qsizetype length = characters(s);
    if (length < size)
        s.resize(s.size() + (size - length), u' ');
    return s;
}

} // namespace

DbValue paddedChar(const DbValue& v, int size) {
    if (v.type() != DbValue::Type::Text || size <= 0 || characters(v.toString()) >= size)
        return v;
    return DbValue::text(padded(v.toString(), size));
}

QString paddedUtf8(const char* utf8, qsizetype bytes, int size) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8);
    if (std::any_of(p, p + bytes, [](unsigned char c) { return c >= 0x80; }))
        return padded(QString::fromUtf8(utf8, bytes), size);
    // Plain ASCII, nearly every stored code and name: widened straight into the padded text.
    QString s(std::max<qsizetype>(bytes, size), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(s.data());
    std::copy(p, p + bytes, out);
    std::fill(out + bytes, out + s.size(), u' ');
    return s;
}

DbValue scaledDecimal(const DbValue& v, int scale) {
    switch (v.type()) {
    case DbValue::Type::Integer:
        return DbValue::decimal(v.unscaled(), 0).roundedTo(scale);
    case DbValue::Type::Real:
    case DbValue::Type::Decimal:
        return v.roundedTo(scale);
    case DbValue::Type::Text: {
        const DbValue d = DbValue::decimalFromText(v.toString());
        return d.isNull() ? v : d.roundedTo(scale);
    }
    case DbValue::Type::Null:
        break;
    }
    return v;
}

QString withoutPassword(QString text, const QString& password) {
    if (password.size() >= 3)
        text.replace(password, QStringLiteral("********"));
    return text;
}

DbError invalidObject(const QString& table) {
    return {kErrInvalidObject, QStringLiteral("Invalid object name '%1'.").arg(table)};
}

DbError engineError(const QString& description) {
    return {kErrEngine, description.trimmed()};
}

DbError noCurrentRecord() {
    return {3021, QStringLiteral("Either BOF or EOF is True, or the current record has been "
                                 "deleted. Requested operation requires a current record.")};
}

} // namespace vx::db
