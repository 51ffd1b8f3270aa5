#include "db/sqlite/sqlite_internal.h"

namespace vx::db::sqlite {
namespace {

int schemaVersion(sqlite3* db) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA schema_version", -1, &raw, nullptr) != SQLITE_OK)
        return -1;
    Statement st(raw);
    return sqlite3_step(raw) == SQLITE_ROW ? sqlite3_column_int(raw, 0) : -1;
}

bool isNumberRule(const ColumnRule& rule) {
    using Kind = ColumnRule::Kind;
    return rule.kind == Kind::Integer || rule.kind == Kind::Decimal || rule.kind == Kind::Real;
}

} // namespace

void NumberColumns::refresh(sqlite3* db) {
    const int version = schemaVersion(db);
    if (version < 0) {
        numbers_.clear();
        version_ = -1;
    } else if (version != version_) {
        load(db);
        version_ = version;
    }
}

bool NumberColumns::contains(const QString& name) const {
    return numbers_.contains(name.toUpper());
}

// A name counts as a number column only when every table that has a column of that name
// declares it a number: a statement need not say which table a plain name belongs to.
void NumberColumns::load(sqlite3* db) {
    numbers_.clear();
    QSet<QString> others;
    sqlite3_stmt* raw = nullptr;
    const char* sql = "SELECT p.name, p.type FROM sqlite_master AS m, pragma_table_info(m.name) "
                      "AS p WHERE m.type = 'table'";
    if (sqlite3_prepare_v2(db, sql, -1, &raw, nullptr) != SQLITE_OK)
        return;
    Statement st(raw);
    while (sqlite3_step(raw) == SQLITE_ROW) {
        const QString name = columnText(raw, 0).toUpper();
        const auto* type = reinterpret_cast<const char*>(sqlite3_column_text(raw, 1));
        if (isNumberRule(ruleFor(type)))
            numbers_.insert(name);
        else
            others.insert(name);
    }
    for (const QString& name : others)
        numbers_.remove(name);
}

} // namespace vx::db::sqlite
