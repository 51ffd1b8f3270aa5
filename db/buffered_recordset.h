#pragma once
// The part of a recordset that is the same on every engine: the current row and its changes,
// BOF/EOF, the rows read ahead to count them, and the checks around update and delete. A backend
// supplies the rows one at a time and writes a changed or deleted row back by its locator.

#include "db/engine.h"

#include <deque>
#include <vector>

namespace vx::db {

class BufferedRecordset : public Recordset {
  public:
    bool bof() const override { return bof_; }
    bool eof() const override { return eof_; }
    long recordCount() override;
    bool moveFirst() override;
    bool moveNext() override;
    int fieldCount() const override { return static_cast<int>(names_.size()); }
    QString fieldName(int index) const override;
    int fieldIndex(const QString& name) const override;
    DbValue value(int index) const override;
    void setValue(int index, const DbValue& v) override;
    bool update() override;
    bool deleteCurrent() override;
    DbError lastError() const override { return error_; }
    bool scan(const RowVisitor& visit) override;

    // Reads the first row; false (with lastError set) when the query failed.
    bool start();

  protected:
    struct Row {
        std::vector<DbValue> values; // the visible columns
        QString locator;             // where the row lives; empty when it cannot be written
    };
    enum class Fetch { Row, End, Failed };

    // `table`: the one table the query reads (empty: update and delete are refused).
    BufferedRecordset(QStringList names, QString table);

    // The next row of the query; Failed sets an error through setError.
    virtual Fetch fetch(Row& row) = 0;
    // The rows the engine has not delivered yet, each handed to `visit` as the engine holds it,
    // until `visit` returns false (Row: the engine then stands on the row after it) or the rows
    // end (End) or the engine fails (Failed, error set through setError). `rows` counts the
    // visits. The default fetches each row whole.
    virtual Fetch scanRest(const RowVisitor& visit, long& rows);
    // Starts the query again from its first row.
    virtual bool rewind() = 0;
    // Writes the `changed` columns of `row` into the table (and may give it a new locator).
    virtual bool writeRow(Row& row, const std::vector<int>& changed) = 0;
    virtual bool removeRow(const Row& row) = 0;
    // A value as the column delivers it (CHAR padding, DECIMAL scale) after an update.
    virtual DbValue asStored(int column, const DbValue& v) const = 0;

    void setError(const DbError& e) { error_ = e; }
    // The current row's values as they were read (before any setValue since).
    const std::vector<DbValue>& originalValues() const {
        return original_.empty() ? current_.values : original_;
    }
    const QString& table() const { return table_; }
    const QStringList& names() const { return names_; }

  private:
    bool advance();
    bool writable(const char* action);

    QStringList names_;
    QString table_;
    Row current_;
    std::vector<bool> dirty_;
    std::vector<DbValue> original_; // the values as read, once the current row is changed
    std::deque<Row> ahead_;
    bool finished_ = false; // the engine has delivered its last row
    bool bof_ = true;
    bool eof_ = true;
    bool deleted_ = false;
    long position_ = -1; // 0-based index of the current row
    DbError error_;
};

} // namespace vx::db
