#pragma once
// Rows written into one of the report's open tables in bulk: the table's record buffer, turned
// into its VALUES list by the table's own module (texts made literal by the one quoting rule),
// collected into multi-row INSERT statements on the open connection. The record manager's
// one-row "Insert" is the other way, kept to compare the two.

#include <QString>
#include <cstdint>

namespace vx::bench {

enum class InsertMode {
    MultiRow,      // many rows per INSERT statement
    RecordManager, // one "Insert" operation per row
};

class BulkInserter {
  public:
    explicit BulkInserter(std::int16_t table, InsertMode mode = InsertMode::MultiRow);
    BulkInserter(const BulkInserter&) = delete;
    BulkInserter& operator=(const BulkInserter&) = delete;
    ~BulkInserter() = default;

    // The table's record buffer as the next row; false at the first failure (see error()).
    bool add();
    // Writes the rows collected so far.
    bool flush();
    std::int64_t rows() const { return rows_; }
    const QString& error() const { return error_; }

  private:
    bool fail(const QString& what);

    std::int16_t table_;
    InsertMode mode_;
    QString head_;      // "INSERT INTO T VALUES"
    QString statement_; // the rows collected, head included
    int pending_ = 0;
    std::int64_t rows_ = 0;
    QString error_;
};

// Runs one statement on the open connection; false with `error` set when it fails.
bool runStatement(const QString& sql, QString* error);

} // namespace vx::bench
