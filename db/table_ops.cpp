#include "db/table_ops.h"

#include "db/connect.h"
#include "db/hooks.h"
#include "db/schema_guard.h"
#include "db/state.h"
#include "platform/err.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/regional.h"
#include "platform/textfile.h"

#include <QDateTime>

namespace vx::db {

namespace {

QString& recallFolder() {
    static QString folder;
    return folder;
}

void raiseFrom(const DbError& e) {
    Err().Raise(e.number, e.description);
}

// Makes sure the connection is open; false when it cannot be.
bool ensureConnected() {
    DbState& s = dbState();
    s.gbDBConnected = s.gcnDatabase && s.gcnDatabase->state() == 1;
    if (!s.gbDBConnected) {
        QString name;
        gpDB_Connect(name);
    }
    return s.gbDBConnected;
}

// Tells the user which objects keep a column from being changed.
void reportBlocked(const ColumnChange& change, const QStringList& blockers) {
    MsgBox(blockedChangeText(change, blockers), MsgButtons::Ok, MsgIcon::Exclamation,
           QStringLiteral("Open Table Error"));
}

// Looks at the catalogue before a statement that changes a table's columns. True with `result`
// set when the statement is not to be sent: already made (-1) or refused (0, error raised; a
// change that other objects block is also reported).
bool settledWithoutRunning(const QString& sql, long& result) {
    const ColumnChange change = parseColumnChange(sql);
    if (change.kind == ColumnChange::Kind::None)
        return false;
    DbError why;
    QStringList blockers;
    switch (checkColumnChange(*dbState().gcnDatabase, change, why, blockers)) {
    case ChangeCheck::Run:
        return false;
    case ChangeCheck::AlreadyMade:
        result = -1;
        return true;
    case ChangeCheck::Refused:
        if (!blockers.isEmpty())
            reportBlocked(change, blockers);
        raiseFrom(why);
        result = 0;
        return true;
    }
    return false;
}

bool mentionsInventoryDelete(const QString& sql) {
    return sql.contains(QLatin1String("Invt"), Qt::CaseInsensitive) &&
           sql.contains(QLatin1String("DELETE"), Qt::CaseInsensitive);
}

} // namespace

void setRecallFolder(const QString& folder) {
    recallFolder() = folder;
}

bool gfbDB_OpenTable(std::int16_t table) {
    DbState& s = dbState();
    bool result = true;
    if (!ensureConnected()) {
        MsgBox(QStringLiteral("Failed to connect to database. "), MsgButtons::Ok, MsgIcon::Critical,
               QStringLiteral("Database Connection Error"));
        result = false;
    } else if (!tableInfo(table).TableName.trimmed().isEmpty()) {
        bool retry = false;
        int attempts = 0;
        do {
            const QString source = QStringLiteral("SELECT TOP 1 * FROM ") +
                                   (retry ? QStringLiteral("jov.") : QString()) +
                                   tableInfo(table).TableName;
            std::unique_ptr<Recordset> rs = s.gcnDatabase->openRecordset(source);
            currentRecordset(table) = std::move(rs);
            if (currentRecordset(table)) {
                retry = false;
                break;
            }
            const DbError e = s.gcnDatabase->lastError();
            raiseFrom(e);
            if (e.number == kErrInvalidObject && ++attempts <= 2) {
                retry = gfbDB_CreateTable(table);
                if (!retry) {
                    // Without the table the run cannot go on; the user learns which table
                    // and why (typically a login without the right to create tables).
                    MsgBox(QStringLiteral("The table %1 does not exist and could not be "
                                          "created.\r%2")
                               .arg(tableInfo(table).TableName, Err().Description),
                           MsgButtons::Ok, MsgIcon::Critical, QStringLiteral("Open Table Error"));
                    result = false;
                }
            } else {
                Err().Clear();
                MsgBox(QString::number(e.number) + QStringLiteral("    Open Table Error    ") +
                           e.description + u'\r',
                       MsgButtons::Ok);
                result = false;
                retry = false;
            }
        } while (retry && s.gbDBConnected);
    }
    tableInfo(table).IsOpen = result;
    return result;
}

bool gfbDB_CreateTable(std::int16_t table) {
    DbState& s = dbState();
    if (!ensureConnected())
        return false;
    const DBTableInfo& info = tableInfo(table);
    if (!s.gcnDatabase->execute(info.CreateSQL)) {
        raiseFrom(s.gcnDatabase->lastError());
        return false;
    }
    for (const QString& piece : info.IndexSQL.split(u';')) {
        const QString stmt = piece.trimmed();
        if (stmt.isEmpty())
            continue;
        if (!s.gcnDatabase->execute(stmt)) {
            raiseFrom(s.gcnDatabase->lastError());
            return false;
        }
    }
    return true;
}

bool gfbDB_TableExists(const QString& tableName) {
    DbState& s = dbState();
    if (!s.goDBServer)
        return false;
    const auto tables = s.goDBServer->tables(s.gsDBName);
    if (!tables) {
        raiseFrom(s.goDBServer->lastError());
        return false;
    }
    for (const QString& t : *tables)
        if (t.compare(tableName, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

long glDB_Execute(const QString& sql) {
    if (mentionsInventoryDelete(sql))
        gpDB_LogDelete(3, sql);
    DbState& s = dbState();
    if (!ensureConnected()) {
        Err().Raise(kErrEngine, QStringLiteral("The database is not connected."));
        return 0;
    }
    long settled = 0;
    if (settledWithoutRunning(sql, settled))
        return settled;
    const std::optional<long> n = s.gcnDatabase->execute(sql);
    if (!n) {
        raiseFrom(s.gcnDatabase->lastError());
        return 0;
    }
    return *n;
}

bool gfbDB_AddColumn(std::int16_t table, const QString& column, const QString& type) {
    return glDB_Execute(QStringLiteral("ALTER TABLE ") + tableInfo(table).TableName +
                        QStringLiteral(" ADD ") + column + u' ' + type) != 0;
}

void gpDB_RenameColumn(const QString& tableName, const QString& oldName, const QString& newName) {
    DbState& s = dbState();
    if (!ensureConnected()) {
        Err().Raise(kErrEngine, QStringLiteral("The database is not connected."));
        return;
    }
    const QString sql = QStringLiteral("sp_RENAME '") + tableName + u'.' + oldName +
                        QStringLiteral("', '") + newName + QStringLiteral(" ', 'COLUMN'");
    long settled = 0;
    if (settledWithoutRunning(sql, settled))
        return;
    if (!s.gcnDatabase->execute(sql))
        raiseFrom(s.gcnDatabase->lastError());
}

long glDB_Count(std::int16_t /*table*/, const QString& fromClause) {
    DbState& s = dbState();
    if (!ensureConnected()) {
        Err().Raise(kErrEngine, QStringLiteral("The database is not connected."));
        return 0;
    }
    const auto rs =
        s.gcnDatabase->openRecordset(QStringLiteral("SELECT COUNT(*) FROM ") + fromClause);
    if (!rs) {
        raiseFrom(s.gcnDatabase->lastError());
        return 0;
    }
    return rs->eof() ? 0 : static_cast<long>(rs->value(0).toInt());
}

bool gfbDB_CanChangeColumn(std::int16_t table, const QString& column, const QString& type) {
    if (!ensureConnected())
        return false;
    const ColumnChange change{
        ColumnChange::Kind::AlterType, tableInfo(table).TableName, column, type, {}};
    DbError why;
    QStringList blockers;
    if (checkColumnChange(*dbState().gcnDatabase, change, why, blockers) != ChangeCheck::Refused)
        return true;
    reportBlocked(change, blockers);
    return false;
}

bool gfbDB_Query(const QString& sql, std::int16_t table, bool noCheck) {
    if (mentionsInventoryDelete(sql))
        gpDB_LogDelete(3, sql);
    DbState& s = dbState();
    if (!s.gcnDatabase)
        return false;
    std::unique_ptr<Recordset> rs = s.gcnDatabase->openRecordset(sql);
    if (!rs) {
        raiseFrom(s.gcnDatabase->lastError());
        return false;
    }
    if (noCheck)
        return false;
    if (!rs->bof() && !rs->eof()) {
        currentRecordset(table) = std::move(rs);
        currentRecordset(table)->moveFirst();
        return true;
    }
    if (rs->lastError().number != 0) // no rows because the first ones could not be fetched
        raiseFrom(rs->lastError());
    currentRecordset(table).reset();
    gfbDB_OpenTable(table);
    return false;
}

void gpDB_LogDelete(std::int16_t table, const QString& /*sql*/) {
    TableHooks* h = tableHooks();
    const QString stamp =
        formatDateTime(QDateTime::currentDateTime(), QStringLiteral("General Date"));
    const QString operatorText; // this program has no operator sign-in
    const QStringList lines{stamp + u' ' + operatorText + QStringLiteral("  ") + executableName(),
                            QStringLiteral("INSERT INTO ") + tableInfo(table).TableName +
                                QStringLiteral(" VALUES(") +
                                (h ? h->gsRecordValues(table) : QString()) + u')'};
    QString error;
    if (!appendLines(joinPath(recallFolder(), QStringLiteral("DeleteRecall.txt")), lines, &error))
        Err().Raise(75, error);
}

} // namespace vx::db
