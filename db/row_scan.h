#pragma once
// The parts of a scan every backend shares: a row view over values already converted, and the
// scan of any recordset through its ordinary moves.

#include "db/engine.h"

#include <QByteArray>
#include <vector>

namespace vx::db {

// A row whose values are converted already (read ahead, or from a backend without a faster way).
class ValuesRowView final : public RowView {
  public:
    explicit ValuesRowView(const std::vector<DbValue>& values) : values_(&values) {}
    void reset(const std::vector<DbValue>& values) {
        values_ = &values;
        bytes_.clear();
    }
    DbValue value(int index) const override;
    std::string_view utf8(int index) const override;

  private:
    const std::vector<DbValue>* values_;
    mutable std::vector<QByteArray> bytes_; // the texts asked for as UTF-8, by column
};

} // namespace vx::db
