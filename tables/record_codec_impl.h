#pragma once
// Template definitions of record_codec.h.

#include "db/table_ops.h"
#include "util/text.h"

#include <algorithm>
#include <array>
#include <limits>
#include <type_traits>

namespace vx::tables {

namespace detail {

template <class T> T clampTo(std::int64_t v) {
    if (v < std::numeric_limits<T>::min())
        return std::numeric_limits<T>::min();
    if (v > std::numeric_limits<T>::max())
        return std::numeric_limits<T>::max();
    return static_cast<T>(v);
}

// The field's value as the record manager hands it to the engine.
template <class Rec> db::DbValue valueOf(const Rec& rec, const FieldRef<Rec>& ref) {
    return std::visit(
        [&](auto p) -> db::DbValue {
            using M = std::remove_cvref_t<decltype(rec.*p)>;
            if constexpr (std::is_same_v<M, FixedText>) {
                return db::DbValue::text((rec.*p).str());
            } else if constexpr (std::is_same_v<M, float>) {
                return db::DbValue::real(static_cast<double>(rec.*p));
            } else if constexpr (std::is_same_v<M, std::int64_t>) {
                return db::DbValue::decimal(rec.*p, 4);
            } else {
                return db::DbValue::integer(rec.*p);
            }
        },
        ref);
}

} // namespace detail

namespace detail {

// One field from a column's value, as the record manager converts it.
template <class Rec> void fillField(const FieldDef<Rec>& f, Rec& rec, const db::DbValue& v) {
    std::visit(
        [&](auto p) {
            using M = std::remove_cvref_t<decltype(rec.*p)>;
            if constexpr (std::is_same_v<M, FixedText>)
                rec.*p = v.toString(); // NULL reads as blanks
            else if constexpr (std::is_same_v<M, float>)
                rec.*p = static_cast<float>(v.toDouble());
            else if constexpr (std::is_same_v<M, std::int64_t>)
                rec.*p = v.toCurrency();
            else
                rec.*p = detail::clampTo<M>(v.toInt());
        },
        f.field);
}

} // namespace detail

template <class Rec> void fillRecord(std::int16_t table, const TableDef<Rec>& def, Rec& rec) {
    for (int i = 0; i < static_cast<int>(def.fields.size()); ++i) {
        const FieldDef<Rec>& f = def.fields[static_cast<size_t>(i)];
        if (!(f.flags & kNotFilled))
            detail::fillField(f, rec, db::gvDB_FieldValue(table, i));
    }
}

template <class Rec>
void fillRecordFields(std::int16_t table, const TableDef<Rec>& def, Rec& rec,
                      const std::vector<int>& fields) {
    for (const int i : fields)
        detail::fillField(def.fields[static_cast<size_t>(i)], rec, db::gvDB_FieldValue(table, i));
}

template <class Rec>
void fillRecordField(const TableDef<Rec>& def, Rec& rec, int field, const db::DbValue& v) {
    detail::fillField(def.fields[static_cast<size_t>(field)], rec, v);
}

template <class Rec> int fieldIndex(const TableDef<Rec>& def, const char* column) {
    for (size_t i = 0; i < def.fields.size(); ++i)
        if (qstricmp(def.fields[i].column, column) == 0)
            return static_cast<int>(i);
    return -1;
}

template <class Rec>
void fillRecordColumns(std::int16_t table, const TableDef<Rec>& def, Rec& rec) {
    const auto& rs = db::currentRecordset(table);
    if (!rs)
        return;
    // Which field each column fills, worked out once for a run of rows with the same columns.
    thread_local QStringList names;
    thread_local std::vector<const FieldDef<Rec>*> fieldOf;
    const int count = rs->fieldCount();
    bool same = names.size() == count;
    for (int c = 0; same && c < count; ++c)
        same = names[c] == rs->fieldName(c);
    if (!same) {
        names.clear();
        fieldOf.clear();
        for (int c = 0; c < count; ++c) {
            names << rs->fieldName(c);
            const auto f = std::find_if(def.fields.begin(), def.fields.end(), [&](const auto& d) {
                return names.back().compare(QLatin1String(d.column), Qt::CaseInsensitive) == 0;
            });
            fieldOf.push_back(f == def.fields.end() || (f->flags & kNotFilled) ? nullptr : &*f);
        }
    }
    for (int c = 0; c < count; ++c)
        if (const FieldDef<Rec>* f = fieldOf[static_cast<size_t>(c)])
            detail::fillField(*f, rec, rs->value(c));
}

template <class Rec> void storeRecord(std::int16_t table, const TableDef<Rec>& def, Rec& rec) {
    for (int i = 0; i < static_cast<int>(def.fields.size()); ++i) {
        db::DbValue v = detail::valueOf(rec, def.fields[static_cast<size_t>(i)].field);
        // A field never assigned (NUL characters) is blanks to the engine.
        if (v.type() == db::DbValue::Type::Text && v.toString().contains(QChar(0)))
            v = db::DbValue::text(QString(v.toString().size(), u' '));
        db::gpDB_PutField(table, i, v);
    }
}

template <class Rec> void cleanRecordText(const TableDef<Rec>& def, Rec& rec) {
    for (const FieldDef<Rec>& f : def.fields) {
        if (f.flags & kNoClean)
            continue;
        if (const auto* p = std::get_if<FixedText Rec::*>(&f.field)) {
            const QString value = (rec.**p).str();
            const bool keep = (f.flags & kNameField) && gvHasOuterBlanks(value);
            rec.** p = db::gsDB_SQLText(value, keep, 0);
        }
    }
}

template <class Rec> QString recordValues(const TableDef<Rec>& def, const Rec& rec) {
    QString out;
    for (size_t i = 0; i < def.fields.size(); ++i) {
        const FieldDef<Rec>& f = def.fields[i];
        if (i > 0)
            out += (f.flags & kSpaceBefore) ? QStringLiteral(", ") : QStringLiteral(",");
        QString text;
        bool quoted = def.quoteAllValues || (f.flags & kQuoted);
        std::visit(
            [&](auto p) {
                using M = std::remove_cvref_t<decltype(rec.*p)>;
                if constexpr (std::is_same_v<M, FixedText>) {
                    text = (rec.*p).str();
                    quoted = true;
                } else if constexpr (std::is_same_v<M, float>) {
                    text = numberText(rec.*p);
                } else if constexpr (std::is_same_v<M, std::int64_t>) {
                    text = currencyText(rec.*p);
                } else {
                    text = numberText(static_cast<std::int64_t>(rec.*p));
                }
            },
            f.field);
        const bool last = i + 1 == def.fields.size();
        if (quoted)
            text =
                u'\'' + text +
                (last && !def.afterLastValue.isEmpty() ? def.afterLastValue : QStringLiteral("'"));
        out += text;
    }
    return out;
}

template <class Rec>
void loadKey(std::int16_t table, const TableDef<Rec>& def, const Rec& rec, int key) {
    if (key < 0 || key >= static_cast<int>(def.keys.size()))
        return;
    const std::vector<int>& cols = def.keys[static_cast<size_t>(key)];
    std::array<db::KeyPart, 9> parts;
    for (size_t i = 0; i < cols.size() && i < parts.size(); ++i) {
        const int col = cols[i];
        parts[i] = db::keyPart(static_cast<std::int16_t>(col),
                               detail::valueOf(rec, def.fields[static_cast<size_t>(col)].field));
    }
    db::gpDB_SetKey(table, static_cast<std::int16_t>(cols.size()), parts);
}

template <class Rec> void defineTable(std::int16_t table, const TableDef<Rec>& def) {
    db::DBTableInfo& info = db::tableInfo(table);
    QString create = QStringLiteral("Create Table ") + info.TableName + QStringLiteral(" (");
    for (const FieldDef<Rec>& f : def.fields)
        create += QString::fromUtf8(f.fragment);
    info.CreateSQL = create + QStringLiteral(");");
    QString indexes;
    for (const IndexDef& ix : def.indexes)
        indexes +=
            QString::fromUtf8(ix.head) + info.TableName + u' ' + QString::fromUtf8(ix.columns);
    info.IndexSQL = indexes;
}

// Creates the table when it does not exist (from `def`); true when it existed already, so that
// the module can run its upgrade steps.
template <class Rec> bool prepareTable(std::int16_t table, const TableDef<Rec>& def) {
    if (db::gfbDB_TableExists(db::tableInfo(table).TableName))
        return true;
    defineTable(table, def);
    db::gfbDB_CreateTable(table);
    return false;
}

} // namespace vx::tables
