#include "db/operations.h"

#include "db/hooks.h"
#include "db/state.h"
#include "db/table_ops.h"
#include "platform/err.h"

namespace vx::db {

namespace {

const QString kSelectTop1 = QStringLiteral("SELECT TOP 1 * FROM ");

bool isKeyedRead(const QString& name) {
    return name == QLatin1String("=") || name == QLatin1String(">") ||
           name == QLatin1String(">=") || name == QLatin1String("<") || name == QLatin1String("<=");
}

void loadKey(std::int16_t table, std::int16_t key) {
    if (TableHooks* h = tableHooks())
        h->gpLoadKey(table, key);
}

// The name of key segment i (1-based) of the table's current recordset. In a keyed read
// (`trimItemId`) the item id column reads as ltrim(ItemID): item ids may be stored with leading
// blanks and compare without them. Only the column reference changes, never a value, and the
// name is matched ignoring case because engines that fold names report "itemid".
QString segmentColumn(std::int16_t table, int i, bool trimItemId = false) {
    const auto& rs = currentRecordset(table);
    const int col = dbState().giDBKeyCol[static_cast<size_t>(i)];
    if (!rs || col < 0 || col >= rs->fieldCount())
        return QString();
    const QString name = rs->fieldName(col);
    if (trimItemId && name.compare(QLatin1String("ItemID"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("ltrim(") + name + u')';
    return name;
}

QString segmentValue(int i) {
    return dbState().gvDBKeyVal[static_cast<size_t>(i)].toString();
}

QString orderBy(std::int16_t table, int segments, bool descending) {
    QStringList cols;
    for (int i = 1; i <= segments; ++i)
        cols << segmentColumn(table, i) + (descending ? QStringLiteral(" DESC") : QString());
    return QStringLiteral(" ORDER BY ") + cols.join(u',');
}

// Opens a recordset on `sql`; a result with rows becomes the table's current recordset. On a
// miss the table's base recordset is opened again and the record buffer stays as it was.
bool readTail(std::int16_t table, const QString& sql) {
    DbState& s = dbState();
    if (!s.gcnDatabase) {
        Err().Raise(kErrEngine, QStringLiteral("The database is not connected."));
        return false;
    }
    std::unique_ptr<Recordset> rs = s.gcnDatabase->openRecordset(sql);
    if (!rs) {
        const DbError e = s.gcnDatabase->lastError();
        Err().Raise(e.number, e.description);
        return false;
    }
    if (rs->recordCount() < 1) {
        currentRecordset(table).reset();
        currentRecordset(table) =
            s.gcnDatabase->openRecordset(kSelectTop1 + tableInfo(table).TableName);
        return false;
    }
    currentRecordset(table) = std::move(rs);
    return true;
}

} // namespace

QString gsDB_OperationName(std::int16_t op) {
    switch (op) {
    case kOpOpen:
        return QStringLiteral("Open");
    case kOpClose:
        return QStringLiteral("Close");
    case kOpInsert:
        return QStringLiteral("Insert");
    case kOpUpdate:
        return QStringLiteral("Update");
    case kOpDelete:
        return QStringLiteral("Delete");
    case kOpEqual:
        return QStringLiteral("=");
    case kOpGetNext:
    case kOpGetNext2:
        return QStringLiteral("Get Next");
    case kOpGetPrevious:
    case kOpGetPrevious2:
        return QStringLiteral("Get Previous");
    case kOpGreater:
        return QStringLiteral(">");
    case kOpGreaterOrEqual:
        return QStringLiteral(">=");
    case kOpLess:
        return QStringLiteral("<");
    case kOpLessOrEqual:
        return QStringLiteral("<=");
    case kOpGetFirst:
    case kOpGetFirst2:
        return QStringLiteral("Get First");
    case kOpGetLast:
    case kOpGetLast2:
        return QStringLiteral("Get Last");
    case kOpBeginTrans:
        return QStringLiteral("Begin Trans");
    case kOpEndTrans:
        return QStringLiteral("End Trans");
    case kOpAbortTrans:
        return QStringLiteral("21");
    case kOpBySQL:
        return QStringLiteral("BySQL");
    default:
        return QString();
    }
}

bool gfbDB_Operation(std::int16_t table, std::int16_t& op, std::int16_t& key, bool& rawMode,
                     bool& /*lockFlag*/, QString& sqlText) {
    const QString name = gsDB_OperationName(op);
    bool status = true;
    const bool positioned = isKeyedRead(name) || name == QLatin1String("Get First") ||
                            name == QLatin1String("Get Last");
    if (positioned && !rawMode)
        loadKey(table, key);

    if (name == QLatin1String("21")) {
        tableInfo(table).PositionFlag = 0;
    } else if (name == QLatin1String("Insert")) {
        status = gfbDB_Insert(table);
    } else if (name == QLatin1String("Update")) {
        if (!rawMode)
            if (TableHooks* h = tableHooks())
                h->gpStoreRecord(table);
        auto& rs = currentRecordset(table);
        status = rs && rs->update();
        if (!status && rs)
            Err().Raise(rs->lastError().number, rs->lastError().description);
    } else if (name == QLatin1String("Delete")) {
        if (table == 3)
            gpDB_LogDelete(table, QString());
        auto& rs = currentRecordset(table);
        status = rs && rs->deleteCurrent();
        if (!status && rs)
            Err().Raise(rs->lastError().number, rs->lastError().description);
    } else if (isKeyedRead(name)) {
        status = rawMode ? gfbDB_ReadColumn(table, name, key) : gfbDB_ReadKey(table, name, sqlText);
    } else if (name == QLatin1String("Get Next")) {
        status = gfbDB_GetNext(table, key);
    } else if (name == QLatin1String("Get Previous")) {
        status = gfbDB_GetPrevious(table, key);
    } else if (name == QLatin1String("Get First")) {
        status = gfbDB_GetFirst(table, key);
    } else if (name == QLatin1String("Get Last")) {
        status = gfbDB_GetLast(table, key);
    } else if (name == QLatin1String("BySQL")) {
        status = gfbDB_BySQL(table, sqlText);
    }

    const bool filled =
        positioned || name == QLatin1String("Get Next") || name == QLatin1String("Get Previous");
    if (status && filled && !rawMode)
        if (TableHooks* h = tableHooks())
            h->gpFillRecord(table);
    return status;
}

bool gfbDB_Operation(std::int16_t table, std::int16_t op, std::int16_t key) {
    bool raw = false;
    bool lock = false;
    QString sql;
    return gfbDB_Operation(table, op, key, raw, lock, sql);
}

QString gsDB_NextPrevSQL(std::int16_t table, std::int16_t /*key*/, const QString& c) {
    const QString t = tableInfo(table).TableName;
    const int n = tableInfo(table).KeySegments;
    const QString ce = c + u'=';
    auto col = [&](int i) { return segmentColumn(table, i); };
    auto val = [&](int i) { return segmentValue(i); };
    const QString guard = QStringLiteral("(SELECT COUNT(*) FROM ") + t + QStringLiteral(" WHERE ") +
                          col(1) + QStringLiteral("='") + val(1) + QStringLiteral("') > 1 AND ");
    auto eq = [&](int i) { return col(i) + QStringLiteral("='") + val(i) + u'\''; };
    auto cmp = [&](int i, const QString& op, const QString& gap = QString()) {
        return col(i) + op + gap + u'\'' + val(i) + u'\'';
    };
    const QString AND = QStringLiteral(" AND ");
    const QString OR = QStringLiteral(" OR ");
    QString cond;
    switch (n) {
    case 1:
        cond = cmp(1, c);
        break;
    case 2:
        cond = guard + eq(1) + AND + cmp(2, c) + OR + cmp(1, c);
        break;
    case 3:
        cond = guard + eq(1) + AND + eq(2) + AND + cmp(3, c, QStringLiteral(" ")) + OR + eq(1) +
               AND + cmp(2, c, QStringLiteral(" ")) + OR + cmp(1, c);
        break;
    case 4:
        cond =
            guard + eq(1) + AND + cmp(2, ce) + AND + cmp(3, ce) + AND + cmp(4, c) + OR + cmp(1, c);
        break;
    case 5:
        cond = guard + eq(1) + AND + cmp(2, ce) + AND + cmp(3, ce) + AND + cmp(4, ce) + AND +
               cmp(5, c) + OR + cmp(1, c);
        break;
    default:
        break; // no valid statement: the open fails with the engine's error
    }
    return QStringLiteral("SELECT  TOP 1 * FROM ") + t + QStringLiteral(" WHERE ") + cond +
           orderBy(table, n, c == QLatin1String("<"));
}

bool gfbDB_GetNext(std::int16_t table, std::int16_t key) {
    loadKey(table, key);
    return readTail(table, gsDB_NextPrevSQL(table, key, QStringLiteral(">")));
}

bool gfbDB_GetPrevious(std::int16_t table, std::int16_t key) {
    loadKey(table, key);
    return readTail(table, gsDB_NextPrevSQL(table, key, QStringLiteral("<")));
}

bool gfbDB_GetFirst(std::int16_t table, std::int16_t key) {
    loadKey(table, key);
    const int n = tableInfo(table).KeySegments;
    QString sql = kSelectTop1 + tableInfo(table).TableName;
    if (n > 0)
        sql += orderBy(table, n, false);
    return readTail(table, sql);
}

bool gfbDB_GetLast(std::int16_t table, std::int16_t /*key*/) {
    const int n = tableInfo(table).KeySegments;
    QString sql = kSelectTop1 + tableInfo(table).TableName;
    if (n > 0)
        sql += orderBy(table, n, true);
    return readTail(table, sql);
}

QString gsDB_ReadKeySQL(std::int16_t table, const QString& name) {
    const int n = tableInfo(table).KeySegments;
    QString sql = kSelectTop1 + tableInfo(table).TableName + QStringLiteral(" WHERE ");
    for (int i = 1; i <= n; ++i) {
        if (i > 1)
            sql += QStringLiteral(" AND ");
        sql += segmentColumn(table, i, true) + name + u'\'' + segmentValue(i) + u'\'';
    }
    sql += QStringLiteral(" ORDER BY ") + segmentColumn(table, 1, true);
    return sql;
}

bool gfbDB_ReadKey(std::int16_t table, const QString& name, QString& sqlText) {
    if (sqlText.isEmpty())
        sqlText = gsDB_ReadKeySQL(table, name);
    QString sql = sqlText;
    if (name == QLatin1String("<") || name == QLatin1String("<="))
        sql += QStringLiteral(" DESC");
    return readTail(table, sql);
}

bool gfbDB_ReadColumn(std::int16_t table, const QString& name, int column) {
    const auto& rs = currentRecordset(table);
    if (!rs || column < 0 || column >= rs->fieldCount()) {
        Err().Raise(kErrEngine, QStringLiteral("No such column: %1").arg(column));
        return false;
    }
    QString val = rs->bof() || rs->eof() ? QString() : rs->value(column).toString();
    val.replace(QStringLiteral("'"), QStringLiteral("''"));
    const QString col = rs->fieldName(column);
    QString sql = kSelectTop1 + tableInfo(table).TableName + QStringLiteral(" WHERE ") + col +
                  name + u'\'' + val + QStringLiteral("' ORDER BY ") + col;
    if (name == QLatin1String("<") || name == QLatin1String("<="))
        sql += QStringLiteral(" DESC");
    return readTail(table, sql);
}

bool gfbDB_BySQL(std::int16_t table, const QString& sqlText) {
    return readTail(table, sqlText);
}

bool gfbDB_Insert(std::int16_t table) {
    TableHooks* h = tableHooks();
    QString sql = QStringLiteral("INSERT INTO ") + tableInfo(table).TableName +
                  QStringLiteral(" VALUES(") + (h ? h->gsRecordValues(table) : QString()) + u')';
    return glDB_Execute(sql) > 0;
}

} // namespace vx::db
