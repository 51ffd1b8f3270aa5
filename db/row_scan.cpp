#include "db/row_scan.h"

namespace vx::db {

DbValue ValuesRowView::value(int index) const {
    if (index < 0 || index >= static_cast<int>(values_->size()))
        return DbValue();
    return (*values_)[static_cast<size_t>(index)];
}

std::string_view ValuesRowView::utf8(int index) const {
    if (index < 0 || index >= static_cast<int>(values_->size()))
        return {};
    if (bytes_.size() < values_->size())
        bytes_.resize(values_->size());
    QByteArray& b = bytes_[static_cast<size_t>(index)];
    b = (*values_)[static_cast<size_t>(index)].toString().toUtf8();
    return {b.constData(), static_cast<size_t>(b.size())};
}

namespace {

// The current row of a recordset that has no scan of its own.
class CurrentRowView final : public RowView {
  public:
    explicit CurrentRowView(const Recordset& rs) : rs_(rs) {}
    DbValue value(int index) const override { return rs_.value(index); }
    std::string_view utf8(int index) const override {
        if (bytes_.size() <= static_cast<size_t>(std::max(index, 0)))
            bytes_.resize(static_cast<size_t>(std::max(index, 0)) + 1);
        QByteArray& b = bytes_[static_cast<size_t>(std::max(index, 0))];
        b = rs_.value(index).toString().toUtf8();
        return {b.constData(), static_cast<size_t>(b.size())};
    }

  private:
    const Recordset& rs_;
    mutable std::vector<QByteArray> bytes_;
};

} // namespace

bool Recordset::scan(const RowVisitor& visit) {
    const CurrentRowView row(*this);
    while (!eof()) {
        const bool go_on = visit(row);
        if (!moveNext())
            return lastError().number == 0;
        if (!go_on)
            return true;
    }
    return lastError().number == 0;
}

} // namespace vx::db
