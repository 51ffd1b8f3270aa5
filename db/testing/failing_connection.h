#pragma once
// A real connection whose queries containing a given piece fail after some rows (server gone).

#include "db/engine.h"

#include <memory>

namespace vx::dbtest {

class FailingRecordset : public db::Recordset {
  public:
    FailingRecordset(std::unique_ptr<db::Recordset> real, long rowsBefore)
        : real_(std::move(real)), left_(rowsBefore) {}
    bool bof() const override { return real_->bof(); }
    bool eof() const override { return failed_ || real_->eof(); }
    long recordCount() override { return real_->recordCount(); }
    bool moveFirst() override { return real_->moveFirst(); }
    bool moveNext() override { return !(failed_ = failed_ || --left_ <= 0) && real_->moveNext(); }
    int fieldCount() const override { return real_->fieldCount(); }
    QString fieldName(int index) const override { return real_->fieldName(index); }
    int fieldIndex(const QString& name) const override { return real_->fieldIndex(name); }
    db::DbValue value(int index) const override { return real_->value(index); }
    void setValue(int index, const db::DbValue& v) override { real_->setValue(index, v); }
    bool update() override { return real_->update(); }
    bool deleteCurrent() override { return real_->deleteCurrent(); }
    db::DbError lastError() const override {
        return failed_ ? db::DbError{db::kErrEngine,
                                     QStringLiteral("server closed the connection unexpectedly")}
                       : real_->lastError();
    }

  private:
    std::unique_ptr<db::Recordset> real_;
    long left_;
    bool failed_ = false;
};

class FailingConnection : public db::Connection {
  public:
    FailingConnection(std::unique_ptr<db::Connection> real, QString queryPart, long rowsBefore)
        : real_(std::move(real)), part_(std::move(queryPart)), rows_(rowsBefore) {}
    bool open(const db::Login& login) override { return real_->open(login); }
    int state() const override { return real_->state(); }
    std::optional<long> execute(const QString& sql) override { return real_->execute(sql); }
    std::unique_ptr<db::Recordset> openRecordset(const QString& sql) override {
        auto rs = real_->openRecordset(sql);
        return rs && sql.contains(part_, Qt::CaseInsensitive)
                   ? std::make_unique<FailingRecordset>(std::move(rs), rows_)
                   : std::move(rs);
    }
    db::DbError lastError() const override { return real_->lastError(); }
    db::Catalogue catalogue() const override { return real_->catalogue(); }

  private:
    std::unique_ptr<db::Connection> real_;
    QString part_;
    long rows_;
};

} // namespace vx::dbtest
