#include "db/backend_support.h"
#include "db/buffered_recordset.h"
#include "db/row_scan.h"
#include "db/sqlite/sqlite_fit.h"
#include "db/sqlite/sqlite_internal.h"

namespace vx::db::sqlite {
namespace {

// The row the statement stands on, read column by column only as it is asked for.
class StatementRowView final : public RowView {
  public:
    StatementRowView(sqlite3_stmt* st, const std::vector<ColumnRule>& rules)
        : st_(st), rules_(rules) {}
    DbValue value(int index) const override {
        if (index < 0 || index >= static_cast<int>(rules_.size()))
            return DbValue();
        return columnValue(st_, index, rules_[static_cast<size_t>(index)]);
    }
    std::string_view utf8(int index) const override {
        if (index < 0 || index >= static_cast<int>(rules_.size()))
            return {};
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st_, index));
        if (!text)
            return {};
        return {text, static_cast<size_t>(sqlite3_column_bytes(st_, index))};
    }

  private:
    sqlite3_stmt* st_;
    const std::vector<ColumnRule>& rules_;
};

// Rows come straight from sqlite3_step: only the current row, the next one and the rows read
// ahead to count them are held. A statement that has delivered its last row is reset at once,
// so it keeps no read lock on the file.
class SqliteRecordset final : public BufferedRecordset {
  public:
    SqliteRecordset(SharedDatabase db, Statement st, QStringList names, QString table,
                    bool hasLocator)
        : BufferedRecordset(std::move(names), std::move(table)), db_(std::move(db)),
          st_(std::move(st)), hasLocator_(hasLocator) {
        for (int i = 0; i < fieldCount(); ++i)
            rules_.push_back(ruleFor(sqlite3_column_decltype(st_.get(), i)));
    }

  protected:
    // Each call hands over the row stepped to before and steps to the next one at once, so that
    // a statement whose last row is current is already reset: a one-row read holds no lock.
    Fetch fetch(Row& row) override {
        if (!primed_) {
            pending_ = step();
            primed_ = true;
        }
        const Fetch f = pending_;
        if (f == Fetch::Failed)
            setError(pendingError_);
        if (f != Fetch::Row)
            return f;
        row = std::move(next_);
        pending_ = step();
        return Fetch::Row;
    }

    Fetch scanRest(const RowVisitor& visit, long& rows) override {
        if (primed_) {
            // The row stepped to before is converted already.
            primed_ = false;
            if (pending_ == Fetch::Failed)
                setError(pendingError_);
            if (pending_ != Fetch::Row)
                return pending_;
            ++rows;
            if (!visit(ValuesRowView(next_.values)))
                return Fetch::Row;
        }
        const StatementRowView view(st_.get(), rules_);
        for (;;) {
            const int rc = sqlite3_step(st_.get());
            if (rc == SQLITE_ROW) {
                ++rows;
                if (!visit(view))
                    return Fetch::Row;
                continue;
            }
            if (rc != SQLITE_DONE)
                setError(errorOf(db_->db));
            sqlite3_reset(st_.get());
            return rc == SQLITE_DONE ? Fetch::End : Fetch::Failed;
        }
    }

    bool rewind() override {
        sqlite3_reset(st_.get());
        primed_ = false;
        return true;
    }

    bool writeRow(Row& row, const std::vector<int>& changed) override {
        QStringList sets;
        for (const int c : changed)
            sets << quoted(names()[c]) + QStringLiteral(" = ?");
        const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                                .arg(table(), sets.join(QStringLiteral(", ")));
        DbError error;
        Statement st = prepare(db_->db, sql, error);
        if (!st) {
            setError(error);
            return false;
        }
        // The file holds what the columns' types allow (CHAR cut, DECIMAL rounded), and so does
        // the row once written.
        std::vector<DbValue> stored;
        for (const int c : changed) {
            const auto column = static_cast<size_t>(c);
            stored.push_back(fitted(row.values[column], fitOf(rules_[column])));
            bindValue(st.get(), static_cast<int>(stored.size()), stored.back());
        }
        sqlite3_bind_int64(st.get(), static_cast<int>(stored.size()) + 1, row.locator.toLongLong());
        if (!finish(st.get(), "updating"))
            return false;
        for (size_t i = 0; i < changed.size(); ++i)
            row.values[static_cast<size_t>(changed[i])] = stored[i];
        return true;
    }

    bool removeRow(const Row& row) override {
        DbError error;
        Statement st =
            prepare(db_->db, QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(table()), error);
        if (!st) {
            setError(error);
            return false;
        }
        sqlite3_bind_int64(st.get(), 1, row.locator.toLongLong());
        return finish(st.get(), "deleting");
    }

    DbValue asStored(int column, const DbValue& v) const override {
        return asColumn(v, rules_[static_cast<size_t>(column)]);
    }

  private:
    Fetch step() {
        const int rc = sqlite3_step(st_.get());
        if (rc == SQLITE_ROW) {
            next_.values.clear();
            next_.values.reserve(static_cast<size_t>(fieldCount()));
            for (int i = 0; i < fieldCount(); ++i)
                next_.values.push_back(columnValue(st_.get(), i, rules_[static_cast<size_t>(i)]));
            next_.locator = hasLocator_ ? columnText(st_.get(), fieldCount()) : QString();
            return Fetch::Row;
        }
        if (rc != SQLITE_DONE)
            pendingError_ = errorOf(db_->db);
        sqlite3_reset(st_.get());
        return rc == SQLITE_DONE ? Fetch::End : Fetch::Failed;
    }

    bool finish(sqlite3_stmt* st, const char* action) {
        DbError error;
        if (!runToEnd(db_->db, st, error)) {
            setError(error);
            return false;
        }
        if (sqlite3_changes(db_->db) == 0) {
            setError(engineError(QStringLiteral("Row cannot be located for %1. Some values may "
                                                "have been changed since it was last read.")
                                     .arg(QLatin1String(action))));
            return false;
        }
        return true;
    }

    SharedDatabase db_;
    Statement st_;
    bool hasLocator_;
    std::vector<ColumnRule> rules_;
    bool primed_ = false; // next_/pending_ hold the step after the current row
    Fetch pending_ = Fetch::End;
    Row next_;
    DbError pendingError_;
};

} // namespace

std::unique_ptr<Recordset> openRecordset(const SharedDatabase& db, const QString& sql,
                                         DbError& error) {
    Statement st;
    const auto single = singleTableQuery(sql);
    if (single) {
        // Tables without a rowid cannot carry the locator; their rows are then read-only.
        DbError ignored;
        st = prepare(db->db, withRowLocator(sql, *single, QStringLiteral("rowid")), ignored);
    }
    const bool hasLocator = st != nullptr;
    if (!st)
        st = prepare(db->db, sql, error);
    if (!st)
        return nullptr;
    const int visible = sqlite3_column_count(st.get()) - (hasLocator ? 1 : 0);
    QStringList names;
    for (int i = 0; i < visible; ++i)
        names << QString::fromUtf8(sqlite3_column_name(st.get(), i));
    auto rs = std::make_unique<SqliteRecordset>(db, std::move(st), names,
                                                single ? single->table : QString(), hasLocator);
    if (!rs->start()) {
        error = rs->lastError();
        return nullptr;
    }
    error = DbError();
    return rs;
}

} // namespace vx::db::sqlite
