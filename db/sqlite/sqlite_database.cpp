#include "db/backend_support.h"
#include "db/sqlite/sqlite_fit.h"
#include "db/sqlite/sqlite_internal.h"

#include <QHash>
#include <QRegularExpression>

namespace vx::db::sqlite {

QString databaseFile(const QString& folder, const QString& name) {
    return folder + QLatin1Char('/') + name + QStringLiteral(".sqlite");
}

SharedDatabase openDatabase(const QString& path, bool readOnly, DbError& error) {
    auto db = std::make_shared<Database>();
    // Never SQLITE_OPEN_CREATE: a database that is not there is an error, not a new file.
    const int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db->db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString why = QString::fromUtf8(db->db ? sqlite3_errmsg(db->db) : sqlite3_errstr(rc));
        error = engineError(QStringLiteral("%1: %2").arg(why, path));
        return nullptr;
    }
    sqlite3_busy_timeout(db->db, 5000);
    registerFitFunctions(db->db);
    // Opening reads nothing yet; the first query shows whether the file is a database.
    if (sqlite3_exec(db->db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) !=
        SQLITE_OK) {
        error = engineError(QStringLiteral("%1: %2").arg(errorOf(db->db).description, path));
        return nullptr;
    }
    error = DbError();
    return db;
}

DbError errorOf(sqlite3* db) {
    const QString message = QString::fromUtf8(sqlite3_errmsg(db));
    static const QRegularExpression missing(QStringLiteral("^no such table: (?:\\w+\\.)?(.+)$"));
    if (const auto m = missing.match(message); m.hasMatch())
        return invalidObject(m.captured(1));
    return engineError(message);
}

Statement prepare(sqlite3* db, const QString& sql, DbError& error) {
    sqlite3_stmt* raw = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &raw, nullptr) !=
        SQLITE_OK) {
        error = errorOf(db);
        return nullptr;
    }
    if (!raw)
        error = engineError(QStringLiteral("The statement is empty."));
    return Statement(raw);
}

bool runToEnd(sqlite3* db, sqlite3_stmt* st, DbError& error) {
    int rc = SQLITE_ROW;
    while (rc == SQLITE_ROW)
        rc = sqlite3_step(st);
    if (rc == SQLITE_DONE)
        return true;
    error = errorOf(db);
    sqlite3_reset(st);
    return false;
}

void bindText(sqlite3_stmt* st, int index, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(st, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

void bindValue(sqlite3_stmt* st, int index, const DbValue& v) {
    switch (v.type()) {
    case DbValue::Type::Null:
        sqlite3_bind_null(st, index);
        break;
    case DbValue::Type::Integer:
        sqlite3_bind_int64(st, index, v.toInt());
        break;
    case DbValue::Type::Decimal:
        if (v.scale() == 0)
            sqlite3_bind_int64(st, index, v.unscaled());
        else
            sqlite3_bind_double(st, index, v.toDouble());
        break;
    case DbValue::Type::Real:
        sqlite3_bind_double(st, index, v.toDouble());
        break;
    case DbValue::Type::Text:
        bindText(st, index, v.toString());
        break;
    }
}

QString columnText(sqlite3_stmt* st, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(st, column));
}

QString quoted(const QString& name) {
    return QLatin1Char('"') + QString(name).replace(u'"', QLatin1String("\"\"")) + QLatin1Char('"');
}

namespace {

ColumnRule parseRule(const char* declaredType) {
    using Kind = ColumnRule::Kind;
    const QString type = QString::fromUtf8(declaredType ? declaredType : "").trimmed();
    static const QRegularExpression charType(
        QStringLiteral("^(?:N?CHAR|N?CHARACTER)\\s*\\(\\s*(\\d+)\\s*\\)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression decimalType(
        QStringLiteral("^(?:DECIMAL|NUMERIC)\\s*(?:\\(\\s*\\d+\\s*(?:,\\s*(\\d+)\\s*)?\\))?$"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression moneyType(QStringLiteral("^(?:SMALL)?MONEY$"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression integerType(
        QStringLiteral("^(?:INTEGER|INT|SMALLINT|TINYINT|BIGINT|BIT)$"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression realType(QStringLiteral("^(?:REAL|FLOAT|DOUBLE)\\b"),
                                             QRegularExpression::CaseInsensitiveOption);
    if (const auto m = charType.match(type); m.hasMatch())
        return {Kind::Char, m.captured(1).toInt()};
    if (const auto m = decimalType.match(type); m.hasMatch())
        return {Kind::Decimal, m.captured(1).toInt()};
    if (moneyType.match(type).hasMatch())
        return {Kind::Decimal, 4};
    if (integerType.match(type).hasMatch())
        return {Kind::Integer, 0};
    if (realType.match(type).hasMatch())
        return {Kind::Real, 0};
    return {};
}

} // namespace

// Every recordset asks for the rules of its columns, and a store has few distinct column types:
// each type text is taken apart once.
ColumnRule ruleFor(const char* declaredType) {
    static thread_local QHash<QByteArray, ColumnRule> known;
    const QByteArray type(declaredType ? declaredType : "");
    const auto it = known.constFind(type);
    if (it != known.constEnd())
        return *it;
    const ColumnRule rule = parseRule(declaredType);
    known.insert(type, rule);
    return rule;
}

DbValue asColumn(const DbValue& v, const ColumnRule& rule) {
    using Kind = ColumnRule::Kind;
    if (v.isNull())
        return v;
    switch (rule.kind) {
    case Kind::Char:
        return paddedChar(v.type() == DbValue::Type::Text ? v : DbValue::text(v.toString()),
                          rule.size);
    case Kind::Decimal:
        return scaledDecimal(v, rule.size);
    case Kind::Integer:
        if (v.type() == DbValue::Type::Real && v.toDouble() == static_cast<double>(v.toInt()))
            return DbValue::integer(v.toInt());
        return v;
    case Kind::Real:
        return v.type() == DbValue::Type::Integer || v.type() == DbValue::Type::Decimal
                   ? DbValue::real(v.toDouble())
                   : v;
    case Kind::Native:
        break;
    }
    return v;
}

DbValue columnValue(sqlite3_stmt* st, int column, const ColumnRule& rule) {
    DbValue v;
    switch (sqlite3_column_type(st, column)) {
    case SQLITE_INTEGER:
        v = DbValue::integer(sqlite3_column_int64(st, column));
        break;
    case SQLITE_FLOAT:
        v = DbValue::real(sqlite3_column_double(st, column));
        break;
    case SQLITE_TEXT:
        if (rule.kind == ColumnRule::Kind::Char && rule.size > 0)
            return DbValue::text(
                paddedUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, column)),
                           sqlite3_column_bytes(st, column), rule.size));
        [[fallthrough]];
    case SQLITE_BLOB:
        v = DbValue::text(columnText(st, column));
        break;
    default:
        return DbValue();
    }
    return asColumn(v, rule);
}

} // namespace vx::db::sqlite
