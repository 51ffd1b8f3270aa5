#pragma once
// A look at the catalogue before a statement changes a table's columns. The upgrade steps of the
// table modules run at every start; on an up-to-date table they must not touch the table at all
// (no lock, no error in the server's log, nothing a read-only login cannot do), and a change the
// engine would refuse because another object depends on the column is refused before anything
// is dropped.

#include "db/engine.h"

#include <QString>
#include <QStringList>

namespace vx::db {

// A change of columns taken from its statement in the suite's dialect:
// "ALTER TABLE T ALTER COLUMN c type", "ALTER TABLE T ADD c type",
// "sp_RENAME 'T.c', 'n ', 'COLUMN'". Any other statement is Kind::None.
struct ColumnChange {
    enum class Kind { None, AlterType, Add, Rename };
    Kind kind = Kind::None;
    QString table, column, type, newName;
};
ColumnChange parseColumnChange(const QString& sql);

enum class ChangeCheck {
    Run,         // send the statement (also when the catalogue cannot say)
    AlreadyMade, // the column already has the type: nothing to send, the change succeeded
    Refused,     // nothing to send, the change failed: `why` says why as the engine would
};
// `blockers` lists the objects that keep the engine from making an ALTER (then Refused).
ChangeCheck checkColumnChange(Connection& connection, const ColumnChange& change, DbError& why,
                              QStringList& blockers);

// The message of a change that other objects keep from being made.
QString blockedChangeText(const ColumnChange& change, const QStringList& blockers);

} // namespace vx::db
