#include "db/schema_guard.h"

#include "db/backend_support.h"
#include "db/schema_catalogue.h"

#include <QRegularExpression>

namespace vx::db {

namespace {

const CatalogueColumn* findColumn(const std::vector<CatalogueColumn>& columns,
                                  const QString& name) {
    for (const CatalogueColumn& c : columns)
        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

} // namespace

ColumnChange parseColumnChange(const QString& sql) {
    using RE = QRegularExpression;
    static const RE alter(
        QStringLiteral(
            "^\\s*ALTER\\s+TABLE\\s+(\\w+)\\s+ALTER\\s+COLUMN\\s+(\\w+)\\s+(.*?)[\\s;]*$"),
        RE::CaseInsensitiveOption | RE::DotMatchesEverythingOption);
    static const RE add(
        QStringLiteral(
            "^\\s*ALTER\\s+TABLE\\s+(\\w+)\\s+ADD\\s+(?!CONSTRAINT\\b)(\\w+)\\s+(.*?)[\\s;]*$"),
        RE::CaseInsensitiveOption | RE::DotMatchesEverythingOption);
    static const RE rename(
        QStringLiteral("^\\s*sp_RENAME\\s+'(\\w+)\\.(\\w+)'\\s*,\\s*'\\s*(\\w+)\\s*'"
                       "\\s*,\\s*'COLUMN'[\\s;]*$"),
        RE::CaseInsensitiveOption);
    ColumnChange c;
    if (const auto m = alter.match(sql); m.hasMatch())
        c = {ColumnChange::Kind::AlterType, m.captured(1), m.captured(2), m.captured(3), {}};
    else if (const auto m = add.match(sql); m.hasMatch())
        c = {ColumnChange::Kind::Add, m.captured(1), m.captured(2), m.captured(3), {}};
    else if (const auto m = rename.match(sql); m.hasMatch())
        c = {ColumnChange::Kind::Rename, m.captured(1), m.captured(2), {}, m.captured(3)};
    return c;
}

ChangeCheck checkColumnChange(Connection& connection, const ColumnChange& change, DbError& why,
                              QStringList& blockers) {
    blockers.clear();
    if (change.kind == ColumnChange::Kind::None)
        return ChangeCheck::Run;
    DbError ignored;
    const auto columns = catalogueColumns(connection, change.table, ignored);
    if (!columns)
        return ChangeCheck::Run; // the engine says what is wrong when the statement runs
    const CatalogueColumn* column = findColumn(*columns, change.column);
    switch (change.kind) {
    case ColumnChange::Kind::AlterType: {
        if (!column)
            return ChangeCheck::Run;
        if (parseColumnType(column->type) == parseColumnType(change.type))
            return ChangeCheck::AlreadyMade;
        const auto found = typeChangeBlockers(connection, change.table, change.column, ignored);
        if (!found || found->isEmpty())
            return ChangeCheck::Run;
        blockers = *found;
        why = engineError(blockedChangeText(change, blockers));
        return ChangeCheck::Refused;
    }
    case ColumnChange::Kind::Add:
        if (!column)
            return ChangeCheck::Run;
        why = engineError(QStringLiteral("Column names in each table must be unique. Column name "
                                         "'%1' in table '%2' is specified more than once.")
                              .arg(change.column, change.table));
        return ChangeCheck::Refused;
    case ColumnChange::Kind::Rename:
        if (!column) {
            why = engineError(QStringLiteral("Either the parameter @objname is ambiguous or the "
                                             "claimed @objtype (COLUMN) is wrong."));
            return ChangeCheck::Refused;
        }
        if (change.newName.compare(change.column, Qt::CaseInsensitive) != 0 &&
            findColumn(*columns, change.newName)) {
            why = engineError(QStringLiteral("The column '%1' already exists in table '%2'.")
                                  .arg(change.newName, change.table));
            return ChangeCheck::Refused;
        }
        return ChangeCheck::Run;
    case ColumnChange::Kind::None:
        break;
    }
    return ChangeCheck::Run;
}

QString blockedChangeText(const ColumnChange& change, const QStringList& blockers) {
    return QStringLiteral("The column %1 of the table %2 cannot be changed to %3: %4 depends on "
                          "it.\rThe table is left as it was. Drop or change %4, then start the "
                          "program again to bring the table up to date.")
        .arg(change.column, change.table, change.type.trimmed(),
             blockers.join(QStringLiteral(", ")));
}

} // namespace vx::db
