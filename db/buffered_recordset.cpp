#include "db/buffered_recordset.h"

#include "db/backend_support.h"
#include "db/row_scan.h"

namespace vx::db {

BufferedRecordset::BufferedRecordset(QStringList names, QString table)
    : names_(std::move(names)), table_(std::move(table)) {}

bool BufferedRecordset::start() {
    error_ = DbError();
    position_ = -1;
    ahead_.clear();
    finished_ = false;
    if (!advance() && error_.number != 0)
        return false;
    bof_ = eof_ = position_ < 0;
    return true;
}

// Makes the next row current: from the rows read ahead, else from the engine. False at the end
// (EOF set) or on a failure (error set).
bool BufferedRecordset::advance() {
    Row next;
    if (!ahead_.empty()) {
        next = std::move(ahead_.front());
        ahead_.pop_front();
    } else {
        const Fetch f = finished_ ? Fetch::End : fetch(next);
        if (f != Fetch::Row) {
            finished_ = true;
            eof_ = true;
            current_ = Row();
            dirty_.assign(names_.size(), false);
            original_.clear();
            return false;
        }
    }
    current_ = std::move(next);
    dirty_.assign(names_.size(), false);
    original_.clear();
    deleted_ = false;
    ++position_;
    bof_ = eof_ = false;
    return true;
}

long BufferedRecordset::recordCount() {
    while (!finished_) {
        Row row;
        const Fetch f = fetch(row);
        if (f != Fetch::Row) {
            finished_ = true;
            if (f == Fetch::Failed)
                return -1;
            break;
        }
        ahead_.push_back(std::move(row));
    }
    // position_ is the index of the last row made current (-1: none yet).
    return position_ + 1 + static_cast<long>(ahead_.size());
}

bool BufferedRecordset::moveFirst() {
    error_ = DbError();
    if (position_ == 0 && !eof_) {
        bof_ = false;
        return true;
    }
    if (position_ < 0)
        return true; // no rows at all
    if (!rewind())
        return false;
    return start();
}

bool BufferedRecordset::moveNext() {
    error_ = DbError();
    if (eof_) {
        error_ = noCurrentRecord();
        return false;
    }
    advance();
    return error_.number == 0;
}

BufferedRecordset::Fetch BufferedRecordset::scanRest(const RowVisitor& visit, long& rows) {
    Row row;
    ValuesRowView view(row.values);
    for (;;) {
        const Fetch f = fetch(row);
        if (f != Fetch::Row)
            return f;
        view.reset(row.values);
        ++rows;
        if (!visit(view))
            return Fetch::Row;
    }
}

bool BufferedRecordset::scan(const RowVisitor& visit) {
    error_ = DbError();
    ValuesRowView view(current_.values);
    while (!eof_) {
        // The current row and the rows read ahead are converted already.
        view.reset(current_.values);
        if (!visit(view)) {
            advance();
            return error_.number == 0;
        }
        if (!ahead_.empty() || finished_) {
            advance();
            continue;
        }
        // The rows after the current one come straight from the engine.
        long rows = 0;
        const Fetch f = scanRest(visit, rows);
        position_ += rows;
        if (f == Fetch::Row) {
            advance(); // the row after the last one visited
            return error_.number == 0;
        }
        finished_ = true;
        eof_ = true;
        current_ = Row();
        dirty_.assign(names_.size(), false);
        original_.clear();
        return f != Fetch::Failed;
    }
    return error_.number == 0;
}

QString BufferedRecordset::fieldName(int index) const {
    return index >= 0 && index < fieldCount() ? names_[index] : QString();
}

int BufferedRecordset::fieldIndex(const QString& name) const {
    for (int i = 0; i < fieldCount(); ++i) {
        if (names_[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

DbValue BufferedRecordset::value(int index) const {
    if (bof_ || eof_ || index < 0 || index >= static_cast<int>(current_.values.size()))
        return DbValue();
    return current_.values[static_cast<size_t>(index)];
}

void BufferedRecordset::setValue(int index, const DbValue& v) {
    if (bof_ || eof_ || index < 0 || index >= static_cast<int>(current_.values.size()))
        return;
    if (original_.empty())
        original_ = current_.values;
    current_.values[static_cast<size_t>(index)] = v;
    dirty_[static_cast<size_t>(index)] = true;
}

bool BufferedRecordset::writable(const char* action) {
    error_ = DbError();
    if (bof_ || eof_ || deleted_) {
        error_ = noCurrentRecord();
        return false;
    }
    if (table_.isEmpty() || current_.locator.isEmpty()) {
        error_ = engineError(QStringLiteral("The rows of this query cannot be %1: it does not "
                                            "read a single table.")
                                 .arg(QLatin1String(action)));
        return false;
    }
    return true;
}

bool BufferedRecordset::update() {
    if (!writable("updated"))
        return false;
    std::vector<int> changed;
    for (size_t i = 0; i < dirty_.size(); ++i) {
        if (dirty_[i])
            changed.push_back(static_cast<int>(i));
    }
    if (changed.empty())
        return true;
    if (!writeRow(current_, changed))
        return false;
    for (const int c : changed)
        current_.values[static_cast<size_t>(c)] =
            asStored(c, current_.values[static_cast<size_t>(c)]);
    dirty_.assign(names_.size(), false);
    original_.clear();
    return true;
}

bool BufferedRecordset::deleteCurrent() {
    if (!writable("deleted"))
        return false;
    if (!removeRow(current_))
        return false;
    deleted_ = true;
    return true;
}

} // namespace vx::db
