#include "db/sql_trace.h"

#include "platform/textfile.h"

namespace vx::db {

namespace {

class TracingConnection final : public Connection {
  public:
    TracingConnection(std::unique_ptr<Connection> inner, QString file)
        : inner_(std::move(inner)), file_(std::move(file)) {}

    bool open(const Login& login) override { return inner_->open(login); }
    int state() const override { return inner_->state(); }
    std::optional<long> execute(const QString& sql) override {
        trace(sql);
        return inner_->execute(sql);
    }
    std::unique_ptr<Recordset> openRecordset(const QString& sql) override {
        trace(sql);
        return inner_->openRecordset(sql);
    }
    DbError lastError() const override { return inner_->lastError(); }
    Catalogue catalogue() const override { return inner_->catalogue(); }

  private:
    void trace(const QString& sql) { appendLines(file_, {traceLine(sql)}); }

    std::unique_ptr<Connection> inner_;
    QString file_;
};

class TracingEngine final : public Engine {
  public:
    TracingEngine(std::unique_ptr<Engine> inner, QString file)
        : inner_(std::move(inner)), file_(std::move(file)) {}
    std::unique_ptr<Connection> connection() override {
        return std::make_unique<TracingConnection>(inner_->connection(), file_);
    }
    std::unique_ptr<Server> server() override { return inner_->server(); }

  private:
    std::unique_ptr<Engine> inner_;
    QString file_;
};

} // namespace

std::unique_ptr<Engine> tracedWhenAsked(std::unique_ptr<Engine> engine) {
    const QString file = qEnvironmentVariable("VANTREX_SQL_TRACE");
    if (!engine || file.trimmed().isEmpty())
        return engine;
    return std::make_unique<TracingEngine>(std::move(engine), file);
}

} // namespace vx::db
