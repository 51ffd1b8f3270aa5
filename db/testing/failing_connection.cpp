#include "db/testing/failing_connection.h"

namespace vx::dbtest {

namespace {

class FailingRecordset : public db::Recordset {
  public:
    FailingRecordset(std::unique_ptr<db::Recordset> real, long rowsBefore)
        : real_(std::move(real)), left_(rowsBefore) {}

    bool bof() const override { return real_->bof(); }
    bool eof() const override { return failed_ || real_->eof(); }
    long recordCount() override { return real_->recordCount(); }
    bool moveFirst() override { return real_->moveFirst(); }
    bool moveNext() override {
        if (--left_ <= 0) {
            failed_ = true;
            return false;
        }
        return real_->moveNext();
    }
    int fieldCount() const override { return real_->fieldCount(); }
    QString fieldName(int index) const override { return real_->fieldName(index); }
    int fieldIndex(const QString& name) const override { return real_->fieldIndex(name); }
    db::DbValue value(int index) const override { return real_->value(index); }
    void setValue(int index, const db::DbValue& v) override { real_->setValue(index, v); }
    bool update() override { return real_->update(); }
    bool deleteCurrent() override { return real_->deleteCurrent(); }
    db::DbError lastError() const override {
        if (failed_)
            return {db::kErrEngine, QStringLiteral("server closed the connection unexpectedly")};
        return real_->lastError();
    }

  private:
    std::unique_ptr<db::Recordset> real_;
    long left_;
    bool failed_ = false;
};

} // namespace

std::unique_ptr<db::Recordset> FailingConnection::openRecordset(const QString& sql) {
    auto rs = real_->openRecordset(sql);
    if (!rs || !sql.contains(part_, Qt::CaseInsensitive))
        return rs;
    return std::make_unique<FailingRecordset>(std::move(rs), rows_);
}

} // namespace vx::dbtest
