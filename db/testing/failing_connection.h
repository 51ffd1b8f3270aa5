#pragma once
// A connection that passes everything to a real one, except that the rows of a query whose text
// contains a given piece stop with an engine error after a given number of rows: the server
// gone in the middle of a long read.

#include "db/engine.h"

#include <memory>

namespace vx::dbtest {

class FailingConnection : public db::Connection {
  public:
    FailingConnection(std::unique_ptr<db::Connection> real, QString queryPart, long rowsBefore)
        : real_(std::move(real)), part_(std::move(queryPart)), rows_(rowsBefore) {}

    bool open(const db::Login& login) override { return real_->open(login); }
    int state() const override { return real_->state(); }
    std::optional<long> execute(const QString& sql) override { return real_->execute(sql); }
    std::unique_ptr<db::Recordset> openRecordset(const QString& sql) override;
    db::DbError lastError() const override { return real_->lastError(); }
    db::Catalogue catalogue() const override { return real_->catalogue(); }

  private:
    std::unique_ptr<db::Connection> real_;
    QString part_;
    long rows_;
};

} // namespace vx::dbtest
