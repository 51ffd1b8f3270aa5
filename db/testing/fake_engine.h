#pragma once
// An engine for record manager tests: it records every statement and answers from a script.

#include "db/engine.h"

#include <QList>
#include <functional>
#include <vector>

namespace vx::db::fake {

using Row = std::vector<DbValue>;

struct FakeResult {
    QStringList columns;
    std::vector<Row> rows;
    DbError error; // number != 0: the statement fails
};

class FakeRecordset : public Recordset {
  public:
    explicit FakeRecordset(FakeResult r) : r_(std::move(r)) {}
    bool bof() const override { return r_.rows.empty(); }
    bool eof() const override { return pos_ >= r_.rows.size(); }
    long recordCount() override { return static_cast<long>(r_.rows.size()); }
    bool moveFirst() override { return (pos_ = 0) == 0; }
    bool moveNext() override { return ++pos_ > 0; }
    int fieldCount() const override { return static_cast<int>(r_.columns.size()); }
    QString fieldName(int i) const override { return r_.columns.value(i); }
    int fieldIndex(const QString& name) const override {
        for (int i = 0; i < r_.columns.size(); ++i)
            if (r_.columns[i].compare(name, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }
    DbValue value(int i) const override { return eof() ? DbValue() : r_.rows[pos_][size_t(i)]; }
    void setValue(int i, const DbValue& v) override {
        r_.rows[pos_][size_t(i)] = v;
        ++writes;
    }
    bool update() override { return ++updates > 0; }
    bool deleteCurrent() override { return ++deletes > 0; }
    DbError lastError() const override { return {}; }

    int writes = 0, updates = 0, deletes = 0;

  private:
    FakeResult r_;
    size_t pos_ = 0;
};

class FakeConnection : public Connection {
  public:
    // Answers every opened statement; the default answers one row of two columns.
    std::function<FakeResult(const QString&)> answer = [](const QString&) {
        return FakeResult{{"Key", "Name"}, {{DbValue::text("A"), DbValue::text("B")}}, {}};
    };
    std::function<std::optional<long>(const QString&)> onExecute = [](const QString&) {
        return std::optional<long>(1);
    };
    QStringList opened;   // statements opened as recordsets
    QStringList executed; // statements executed
    bool isOpen = true;

    bool open(const Login&) override { return isOpen; }
    int state() const override { return isOpen ? 1 : 0; }
    std::optional<long> execute(const QString& sql) override {
        executed << sql;
        const auto n = onExecute(sql);
        error_ = n ? error_ : DbError{kErrEngine, QStringLiteral("execute failed")};
        return n;
    }
    std::unique_ptr<Recordset> openRecordset(const QString& sql) override {
        opened << sql;
        FakeResult r = answer(sql);
        error_ = r.error.number != 0 ? r.error : error_;
        return r.error.number != 0 ? nullptr : std::make_unique<FakeRecordset>(std::move(r));
    }
    DbError lastError() const override { return error_; }

  private:
    DbError error_;
};

} // namespace vx::db::fake
