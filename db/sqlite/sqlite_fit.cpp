#include "db/sqlite/sqlite_fit.h"

#include <QRegularExpression>

namespace vx::db::sqlite {
namespace {

// vx_decimal(x, s): x rounded to s decimals, half away from zero, through its exact decimal
// (db/value.h); NULL, whole numbers, blobs and text that is no number come back unchanged.
void fitDecimal(sqlite3_context* context, int, sqlite3_value** args) {
    sqlite3_value* x = args[0];
    DbValue v;
    switch (sqlite3_value_type(x)) {
    case SQLITE_FLOAT:
        v = DbValue::real(sqlite3_value_double(x));
        break;
    case SQLITE_TEXT:
        v = DbValue::text(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(x)),
                                            sqlite3_value_bytes(x)));
        break;
    default:
        sqlite3_result_value(context, x);
        return;
    }
    const DbValue r = fitted(v, {ColumnFit::Kind::Decimal, sqlite3_value_int(args[1])});
    if (r.type() != DbValue::Type::Decimal)
        sqlite3_result_value(context, x);
    else if (r.scale() == 0)
        sqlite3_result_int64(context, r.unscaled());
    else
        sqlite3_result_double(context, r.toDouble());
}

} // namespace

void registerFitFunctions(sqlite3* db) {
    sqlite3_create_function_v2(db, kDecimalFitFunction, 2,
                               SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                               fitDecimal, nullptr, nullptr, nullptr);
}

ColumnFit fitOf(const ColumnRule& rule) {
    switch (rule.kind) {
    case ColumnRule::Kind::Char:
        return {ColumnFit::Kind::Char, rule.size};
    case ColumnRule::Kind::Decimal:
        return {ColumnFit::Kind::Decimal, rule.size};
    default:
        return {};
    }
}

ColumnFit fitOfType(const QString& type) {
    // The type's name and size only: what follows (NULL rule, collation, default) is no part of
    // it.
    static const QRegularExpression name(QStringLiteral("^\\s*\\w+\\s*(?:\\([^)]*\\))?"));
    return fitOf(ruleFor(name.match(type).captured(0).trimmed().toUtf8().constData()));
}

void TableFits::refresh(int schemaVersion) {
    if (schemaVersion < 0 || schemaVersion != version_)
        tables_.clear();
    version_ = schemaVersion;
}

const TableFit* TableFits::find(sqlite3* db, const QString& table) {
    const QString key = table.toUpper();
    if (const auto it = tables_.constFind(key); it != tables_.constEnd())
        return it->get();
    DbError error;
    Statement st =
        prepare(db, QStringLiteral("SELECT name, type FROM pragma_table_info(?1)"), error);
    if (!st)
        return nullptr;
    bindText(st.get(), 1, table);
    auto fit = std::make_shared<TableFit>();
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        fit->names << columnText(st.get(), 0);
        fit->columns.push_back(
            fitOf(ruleFor(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 1)))));
    }
    if (rc != SQLITE_DONE)
        return nullptr; // not known for sure: asked again with the next statement
    if (fit->names.isEmpty())
        fit.reset(); // no such table
    tables_.insert(key, fit);
    return fit.get();
}

} // namespace vx::db::sqlite
