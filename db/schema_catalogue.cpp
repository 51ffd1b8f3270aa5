#include "db/schema_catalogue.h"

#include "db/backend_support.h"
#include "db/codecs.h"

#include <QRegularExpression>

namespace vx::db {

namespace {

// A name as a literal of a catalogue query, made by the one quoting rule of the layer.
QString literal(const QString& name) {
    return u'\'' + gsDB_SQLText(name, true, 255) + u'\'';
}

QString columnsQuery(Catalogue catalogue, const QString& table) {
    switch (catalogue) {
    case Catalogue::SQLite:
        return QStringLiteral("SELECT name, type FROM pragma_table_info(%1)").arg(literal(table));
    case Catalogue::PostgreSQL:
        return QStringLiteral("SELECT a.attname, format_type(a.atttypid, a.atttypmod) FROM "
                              "pg_attribute a WHERE a.attrelid = to_regclass(%1) AND a.attnum > 0 "
                              "AND NOT a.attisdropped ORDER BY a.attnum")
            .arg(literal(table));
    case Catalogue::SqlServer:
        // In words every release from SQL Server 2000 on knows (no CONCAT, no SCHEMA_NAME): the
        // table the login's own name resolution finds, whichever owner or schema holds it.
        return QStringLiteral(
                   "SELECT COLUMN_NAME, DATA_TYPE + CASE WHEN DATA_TYPE IN ('decimal', "
                   "'numeric') THEN '(' + CAST(NUMERIC_PRECISION AS VARCHAR(10)) + ',' + "
                   "CAST(NUMERIC_SCALE AS VARCHAR(10)) + ')' WHEN CHARACTER_MAXIMUM_LENGTH > 0 "
                   "THEN '(' + CAST(CHARACTER_MAXIMUM_LENGTH AS VARCHAR(10)) + ')' ELSE '' END "
                   "FROM INFORMATION_SCHEMA.COLUMNS WHERE TABLE_NAME = %1 AND "
                   "OBJECT_ID(QUOTENAME(TABLE_SCHEMA) + '.' + QUOTENAME(TABLE_NAME)) = "
                   "OBJECT_ID(%1) ORDER BY ORDINAL_POSITION")
            .arg(literal(table));
    case Catalogue::None:
        break;
    }
    return QString();
}

QString blockersQuery(Catalogue catalogue, const QString& table, const QString& column) {
    switch (catalogue) {
    case Catalogue::PostgreSQL:
        // A view's rule depends on each column it reads; such a column's type cannot change.
        return QStringLiteral(
                   "SELECT DISTINCT v.relname FROM pg_depend d JOIN pg_rewrite r ON r.oid = "
                   "d.objid JOIN pg_class v ON v.oid = r.ev_class JOIN pg_attribute a ON "
                   "a.attrelid = d.refobjid AND a.attnum = d.refobjsubid WHERE d.classid = "
                   "'pg_rewrite'::regclass AND d.refobjid = to_regclass(%1) AND v.oid <> "
                   "d.refobjid AND lower(a.attname) = lower(%2) ORDER BY 1")
            .arg(literal(table), literal(column));
    case Catalogue::SqlServer:
        // Only schema-bound objects stop ALTER COLUMN; other views follow the new type.
        // sysdepends: every release from SQL Server 2000 on has it.
        return QStringLiteral(
                   "SELECT DISTINCT OBJECT_NAME(d.id) FROM sysdepends d WHERE d.depid = "
                   "OBJECT_ID(%1) AND OBJECTPROPERTY(d.id, 'IsSchemaBound') = 1 AND d.depnumber "
                   "IN (0, COLUMNPROPERTY(OBJECT_ID(%1), %2, 'ColumnId'))")
            .arg(literal(table), literal(column));
    case Catalogue::SQLite:
    case Catalogue::None:
        break;
    }
    return QString();
}

// Every row of a query, each as the text of its columns.
std::optional<std::vector<QStringList>> rows(Connection& connection, const QString& sql,
                                             DbError& error) {
    const std::unique_ptr<Recordset> rs = connection.openRecordset(sql);
    if (!rs) {
        error = connection.lastError();
        return std::nullopt;
    }
    std::vector<QStringList> out;
    for (; !rs->eof(); rs->moveNext()) {
        QStringList row;
        for (int i = 0; i < rs->fieldCount(); ++i)
            row << rs->value(i).toString().trimmed();
        out.push_back(row);
    }
    if (rs->lastError().number != 0) {
        error = rs->lastError();
        return std::nullopt;
    }
    return out;
}

// The rows of a catalogue query; `sql` empty when the connection's catalogue is not known.
std::optional<std::vector<QStringList>> catalogueRows(Connection& connection, const QString& sql,
                                                      DbError& error) {
    if (sql.isEmpty()) {
        error = engineError(QStringLiteral("The catalogue of this database cannot be read."));
        return std::nullopt;
    }
    return rows(connection, sql, error);
}

ColumnType::Kind kindOf(const QString& base) {
    using Kind = ColumnType::Kind;
    static const QHash<QString, Kind> kinds{{"CHAR", Kind::Char},
                                            {"CHARACTER", Kind::Char},
                                            {"BPCHAR", Kind::Char},
                                            {"NCHAR", Kind::Char},
                                            {"VARCHAR", Kind::VarChar},
                                            {"NVARCHAR", Kind::VarChar},
                                            {"CHARACTERVARYING", Kind::VarChar},
                                            {"DECIMAL", Kind::Decimal},
                                            {"NUMERIC", Kind::Decimal},
                                            {"SMALLINT", Kind::SmallInt},
                                            {"INT2", Kind::SmallInt},
                                            {"INT", Kind::Integer},
                                            {"INTEGER", Kind::Integer},
                                            {"INT4", Kind::Integer},
                                            {"BIGINT", Kind::BigInt},
                                            {"INT8", Kind::BigInt},
                                            {"REAL", Kind::Real},
                                            {"FLOAT4", Kind::Real},
                                            {"FLOAT", Kind::Float},
                                            {"FLOAT8", Kind::Float},
                                            {"DOUBLEPRECISION", Kind::Float}};
    return kinds.value(base, Kind::Other);
}

} // namespace

ColumnType parseColumnType(const QString& text) {
    using Kind = ColumnType::Kind;
    static const QRegularExpression form(
        QStringLiteral("^([A-Z][A-Z0-9 ]*?)\\s*(?:\\(\\s*(\\d+)\\s*(?:,\\s*(\\d+)\\s*)?\\))?$"));
    const QString upper = text.simplified().toUpper();
    ColumnType t;
    const QRegularExpressionMatch m = form.match(upper);
    if (m.hasMatch())
        t.kind = kindOf(m.captured(1).remove(u' '));
    if (t.kind == Kind::Other) {
        t.other = upper;
        t.other.remove(u' ');
        return t;
    }
    const bool sized = m.capturedLength(2) > 0;
    switch (t.kind) {
    case Kind::Char:
    case Kind::VarChar:
        t.size = sized ? m.captured(2).toInt() : 1;
        break;
    case Kind::Decimal:
        t.size = sized ? m.captured(2).toInt() : 18;
        t.scale = m.capturedLength(3) > 0 ? m.captured(3).toInt() : 0;
        break;
    default:
        break;
    }
    return t;
}

std::optional<std::vector<CatalogueColumn>> catalogueColumns(Connection& connection,
                                                             const QString& table, DbError& error) {
    const auto found =
        catalogueRows(connection, columnsQuery(connection.catalogue(), table), error);
    if (!found)
        return std::nullopt;
    if (found->empty()) {
        error = invalidObject(table);
        return std::nullopt;
    }
    std::vector<CatalogueColumn> columns;
    for (const QStringList& r : *found)
        columns.push_back({r.value(0), r.value(1)});
    return columns;
}

std::optional<QStringList> typeChangeBlockers(Connection& connection, const QString& table,
                                              const QString& column, DbError& error) {
    const Catalogue catalogue = connection.catalogue();
    if (catalogue == Catalogue::SQLite)
        return QStringList();
    const auto found = catalogueRows(connection, blockersQuery(catalogue, table, column), error);
    if (!found)
        return std::nullopt;
    QStringList names;
    for (const QStringList& r : *found)
        names << QStringLiteral("view ") + r.value(0);
    return names;
}

} // namespace vx::db
