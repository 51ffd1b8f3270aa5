#pragma once
// The record manager: numbered operations on a table's record buffer and numbered keys, each
// carried out as a one-row query whose result becomes the table's current recordset. The
// position is not a server cursor but the key values of the record last read.

#include <QString>
#include <cstdint>

namespace vx::db {

// Operation codes.
enum OpCode : std::int16_t {
    kOpOpen = 0,
    kOpClose = 1,
    kOpInsert = 2,
    kOpUpdate = 3,
    kOpDelete = 4,
    kOpEqual = 5,
    kOpGetNext = 6,
    kOpGetPrevious = 7,
    kOpGreater = 8,
    kOpGreaterOrEqual = 9,
    kOpLess = 10,
    kOpLessOrEqual = 11,
    kOpGetFirst = 12,
    kOpGetLast = 13,
    kOpBeginTrans = 19,
    kOpEndTrans = 20,
    kOpAbortTrans = 21,
    kOpGetNext2 = 24,
    kOpGetFirst2 = 33,
    kOpGetLast2 = 34,
    kOpGetPrevious2 = 35,
    kOpBySQL = 36,
};

// The operation's name ("Get Next", ">=", "BySQL" ...); unknown codes give the empty text.
QString gsDB_OperationName(std::int16_t op);

// Carries out one operation on table slot `table`. Without rawMode the key is built from the
// record buffer before a read and the buffer filled from the row after a successful one. True:
// done or found; false: not found or failed (a failure also leaves Err() set). `sqlText` is the
// statement of "BySQL", and for "=" to "<=" a statement to use instead of the built one; after a
// call with an empty sqlText it holds the built statement.
bool gfbDB_Operation(std::int16_t table, std::int16_t& op, std::int16_t& key, bool& rawMode,
                     bool& lockFlag, QString& sqlText);
// The common call: not raw, no statement of the caller's.
bool gfbDB_Operation(std::int16_t table, std::int16_t op, std::int16_t key);

// The statements and reads behind the operations.
QString gsDB_NextPrevSQL(std::int16_t table, std::int16_t key, const QString& comparison);
bool gfbDB_GetNext(std::int16_t table, std::int16_t key);
bool gfbDB_GetPrevious(std::int16_t table, std::int16_t key);
bool gfbDB_GetFirst(std::int16_t table, std::int16_t key);
bool gfbDB_GetLast(std::int16_t table, std::int16_t key);
bool gfbDB_ReadKey(std::int16_t table, const QString& opName, QString& sqlText);
bool gfbDB_ReadColumn(std::int16_t table, const QString& opName, int column);
bool gfbDB_BySQL(std::int16_t table, const QString& sqlText);
bool gfbDB_Insert(std::int16_t table);

// Builds the keyed-read statement from the key slots (what gfbDB_ReadKey runs).
QString gsDB_ReadKeySQL(std::int16_t table, const QString& opName);

} // namespace vx::db
