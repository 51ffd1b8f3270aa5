#include "db/backend_support.h"
#include "db/sqlite/sqlite_fit.h"
#include "db/sqlite/sqlite_internal.h"

#include <QStringList>
#include <map>

namespace vx::db::sqlite {
namespace {

// Runs `sql` (with text parameters) and hands every row's columns to `row`.
template <typename RowFn>
bool query(sqlite3* db, const QString& sql, const QStringList& params, DbError& error, RowFn row) {
    Statement st = prepare(db, sql, error);
    if (!st)
        return false;
    for (int i = 0; i < params.size(); ++i)
        bindText(st.get(), i + 1, params[i]);
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        QStringList columns;
        for (int c = 0; c < sqlite3_column_count(st.get()); ++c)
            columns << (sqlite3_column_type(st.get(), c) == SQLITE_NULL ? QString()
                                                                        : columnText(st.get(), c));
        row(columns);
    }
    if (rc != SQLITE_DONE) {
        error = errorOf(db);
        return false;
    }
    return true;
}

bool exec(sqlite3* db, const QString& sql, DbError& error) {
    Statement st = prepare(db, sql, error);
    return st && runToEnd(db, st.get(), error);
}

struct Column {
    QString name, type, defaultValue;
    bool notNull = false;
    int pk = 0; // position in the primary key, 0 when not part of it
};

// The statements that build the new table, copy the rows, swap it in and restore the indexes.
bool buildSteps(sqlite3* db, const Translated& alter, QStringList& steps, DbError& error) {
    QString table;
    if (!query(db,
               QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND "
                              "name = ?1 COLLATE NOCASE"),
               {alter.table}, error, [&](const QStringList& r) { table = r[0]; }))
        return false;
    if (table.isEmpty()) {
        error = invalidObject(alter.table);
        return false;
    }
    std::vector<Column> columns;
    if (!query(db,
               QStringLiteral("SELECT name, type, \"notnull\", dflt_value, pk "
                              "FROM pragma_table_info(?1) ORDER BY cid"),
               {table}, error, [&](const QStringList& r) {
                   columns.push_back({r[0], r[1], r[3], r[2] == QLatin1String("1"), r[4].toInt()});
               }))
        return false;
    bool found = false;
    bool unchanged = false;
    QStringList definitions, names, sources;
    std::map<int, QString> key;
    for (const Column& c : columns) {
        const bool altered = c.name.compare(alter.column, Qt::CaseInsensitive) == 0;
        found = found || altered;
        // A column that already has the type (the upgrade steps run at every open) needs no
        // rebuild of the whole table.
        auto norm = [](QString t) { return t.remove(u' ').toUpper(); };
        if (altered && norm(sqliteColumnType(c.type) + (c.notNull ? QStringLiteral(" NOT NULL")
                                                                  : QString())) == norm(alter.type))
            unchanged = true;
        // The altered column takes the statement's type with its NULL rule; the others keep
        // theirs, CHAR types with their comparison rule.
        QString def =
            quoted(c.name) + QLatin1Char(' ') + (altered ? alter.type : sqliteColumnType(c.type));
        if (c.notNull && !altered)
            def += QStringLiteral(" NOT NULL");
        if (!c.defaultValue.isEmpty())
            def += QStringLiteral(" DEFAULT ") + c.defaultValue;
        definitions << def;
        names << quoted(c.name);
        // The altered column's values are copied as its new type stores them.
        const FitWrap wrap = altered ? fitWrap(fitOfType(alter.type)) : FitWrap();
        sources << wrap.before + quoted(c.name) + wrap.after;
        if (c.pk > 0)
            key[c.pk] = quoted(c.name);
    }
    if (!found) {
        error = engineError(QStringLiteral("Invalid column name '%1'.").arg(alter.column));
        return false;
    }
    if (unchanged)
        return true; // no steps
    if (!key.empty()) {
        QStringList keyColumns;
        for (const auto& [position, name] : key)
            keyColumns << name;
        definitions
            << QStringLiteral("PRIMARY KEY (%1)").arg(keyColumns.join(QStringLiteral(", ")));
    }
    const QString temp = quoted(table + QStringLiteral("_vx_rebuild"));
    const QString list = names.join(QStringLiteral(", "));
    steps
        << QStringLiteral("CREATE TABLE %1 (%2)").arg(temp, definitions.join(QStringLiteral(", ")))
        << QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4")
               .arg(temp, list, sources.join(QStringLiteral(", ")), quoted(table))
        << QStringLiteral("DROP TABLE %1").arg(quoted(table))
        << QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(temp, quoted(table));

    // Indexes made by CREATE INDEX keep their statements; those of UNIQUE constraints in the
    // table's definition are made again as unique indexes.
    bool ok = query(db,
                    QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'index' AND "
                                   "tbl_name = ?1 AND sql IS NOT NULL"),
                    {table}, error, [&](const QStringList& r) { steps << r[0]; });
    QStringList uniques;
    ok =
        ok && query(db, QStringLiteral("SELECT name FROM pragma_index_list(?1) WHERE origin = 'u'"),
                    {table}, error, [&](const QStringList& r) { uniques << r[0]; });
    for (int i = 0; ok && i < uniques.size(); ++i) {
        QStringList indexed;
        ok = query(db, QStringLiteral("SELECT name FROM pragma_index_info(?1) ORDER BY seqno"),
                   {uniques[i]}, error, [&](const QStringList& r) { indexed << quoted(r[0]); });
        steps << QStringLiteral("CREATE UNIQUE INDEX %1 ON %2 (%3)")
                     .arg(quoted(QStringLiteral("%1_unique_%2").arg(table).arg(i)), quoted(table),
                          indexed.join(QStringLiteral(", ")));
    }
    // Triggers go with the old table; they are made again from their own statements. Views
    // name the table and stay as they are.
    ok = ok && query(db,
                     QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'trigger' AND "
                                    "tbl_name = ?1 AND sql IS NOT NULL ORDER BY rowid"),
                     {table}, error, [&](const QStringList& r) { steps << r[0]; });
    return ok;
}

// Every view must still read after the change; the first that does not is named in `error`.
bool viewsStillRead(sqlite3* db, DbError& error) {
    QStringList views;
    if (!query(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'view'"), {}, error,
               [&](const QStringList& r) { views << r[0]; }))
        return false;
    for (const QString& view : views) {
        DbError broken;
        if (!prepare(db, QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(quoted(view)), broken)) {
            error = engineError(QStringLiteral("The view %1 would no longer work: %2")
                                    .arg(view, broken.description));
            return false;
        }
    }
    return true;
}

} // namespace

bool rebuildTable(sqlite3* db, const Translated& alter, DbError& error) {
    QStringList steps;
    if (!buildSteps(db, alter, steps, error))
        return false;
    if (steps.isEmpty())
        return true;
    // One savepoint around all steps: the table changes completely or not at all. The legacy
    // rename leaves views and other tables' triggers naming the table alone while, for a
    // moment, no table of that name exists.
    DbError ignored;
    if (!exec(db, QStringLiteral("PRAGMA legacy_alter_table = ON"), error))
        return false;
    bool ok = exec(db, QStringLiteral("SAVEPOINT vx_rebuild"), error);
    for (int i = 0; ok && i < steps.size(); ++i)
        ok = exec(db, steps[i], error);
    ok = ok && viewsStillRead(db, error);
    if (!ok) {
        exec(db, QStringLiteral("ROLLBACK TO vx_rebuild"), ignored);
        exec(db, QStringLiteral("RELEASE vx_rebuild"), ignored);
    } else {
        ok = exec(db, QStringLiteral("RELEASE vx_rebuild"), error);
    }
    exec(db, QStringLiteral("PRAGMA legacy_alter_table = OFF"), ignored);
    return ok;
}

} // namespace vx::db::sqlite
