#include "db/backend_support.h"

#include <QRegularExpression>

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

DbValue paddedChar(const DbValue& v, int size) {
    if (v.type() != DbValue::Type::Text || size <= 0)
        return v;
    const QString s = v.toString();
    // Characters, not UTF-16 units: a character outside the basic plane counts once.
    const qsizetype length = s.toUcs4().size();
    return length < size ? DbValue::text(s + QString(size - length, u' ')) : v;
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
