#include "db/codecs.h"

#include "db/state.h"

namespace vx::db {

namespace {
Recordset* current(std::int16_t table) {
    const auto& rs = currentRecordset(table);
    return rs && !rs->eof() && !rs->bof() ? rs.get() : nullptr;
}

bool sameValue(const DbValue& a, const DbValue& b) {
    if (a.isNumber() && b.isNumber())
        return a.toDouble() == b.toDouble();
    if (a.isNumber() != b.isNumber())
        return a.toString() == b.toString();
    return a == b;
}
} // namespace

DbValue gvDB_FieldValue(std::int16_t table, int field) {
    Recordset* rs = current(table);
    if (!rs || field < 0 || field >= rs->fieldCount())
        return {};
    return rs->value(field);
}

DbValue gvDB_FieldValue(std::int16_t table, const QString& field) {
    Recordset* rs = current(table);
    return rs ? gvDB_FieldValue(table, rs->fieldIndex(field)) : DbValue();
}

QString gvDB_FieldName(std::int16_t table, int field) {
    const auto& rs = currentRecordset(table);
    if (!rs || field < 0 || field >= rs->fieldCount())
        return QString();
    return rs->fieldName(field);
}

void gpDB_PutField(std::int16_t table, int field, const DbValue& value) {
    const auto& rs = currentRecordset(table);
    if (!rs || rs->recordCount() == 0 || field < 0 || field >= rs->fieldCount())
        return;
    if (value.type() == DbValue::Type::Text && value.toString().trimmed().isEmpty()) {
        rs->setValue(field, DbValue::text(QString()));
        return;
    }
    const DbValue present = rs->value(field);
    if (present.isNull() || !sameValue(present, value))
        rs->setValue(field, value);
}

KeyPart keyPart(std::int16_t col, const DbValue& value) {
    return KeyPart{col, value, false};
}
KeyPart keyPart(std::int16_t col, const QString& text) {
    return KeyPart{col, DbValue::text(text), false};
}

void gpDB_SetKey(std::int16_t table, std::int16_t segments, const std::array<KeyPart, 9>& parts) {
    DbState& s = dbState();
    tableInfo(table).KeySegments = segments;
    for (int i = 1; i <= 9; ++i) {
        const KeyPart& p = parts[static_cast<size_t>(i - 1)];
        s.giDBKeyCol[i] = p.col;
        if (p.missing)
            continue;
        s.gvDBKeyVal[i] = p.value.type() == DbValue::Type::Text
                              ? DbValue::text(gsDB_SQLText(p.value.toString(), i <= 3, 0))
                              : p.value;
    }
}

QString gsDB_SQLText(const QString& value, bool doubleQuotes, int maxLen) {
    QString text = value;
    if (text.contains(QChar(0))) // a field never filled: blanks of its width
        text = QString(text.size(), u' ');
    if (text.contains(QLatin1String("''")) || !text.contains(u'\''))
        return text;
    if (!doubleQuotes)
        return text.replace(u'\'', u' ');
    text = text.replace(QStringLiteral("'"), QStringLiteral("''")).trimmed();
    if (text.size() > maxLen) {
        text.replace(QStringLiteral(", "), QStringLiteral(","));
        text.replace(QStringLiteral("  "), QStringLiteral(" "));
        if (text.endsWith(u','))
            text.chop(1);
    }
    return text;
}

} // namespace vx::db
