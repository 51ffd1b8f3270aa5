#include "db/backend_support.h"
#include "db/buffered_recordset.h"
#include "db/postgres/pg_internal.h"

#include <QRegularExpression>

namespace vx::db::pg {
namespace {

// Type numbers (pg_type OIDs) of the columns whose values are not plain text.
constexpr Oid kBool = 16, kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26, kFloat4 = 700,
              kFloat8 = 701, kBpchar = 1042, kNumeric = 1700;
// Rows fetched from a cursor at a time: few enough to keep memory small (about a megabyte of
// history rows), many enough that a year's million rows take 200 round trips, not 2,000.
constexpr int kBatch = 5000;

struct Column {
    Oid type = 0;
    int modifier = -1;
    int charLength() const { return type == kBpchar && modifier > 4 ? modifier - 4 : 0; }
    int scale() const { return type == kNumeric && modifier >= 4 ? (modifier - 4) & 0xffff : -1; }
};

DbValue asColumn(const DbValue& v, const Column& c) {
    if (v.isNull())
        return v;
    if (c.charLength() > 0)
        return paddedChar(v.type() == DbValue::Type::Text ? v : DbValue::text(v.toString()),
                          c.charLength());
    if (c.scale() >= 0)
        return scaledDecimal(v, c.scale());
    return v;
}

DbValue valueOf(const PGresult* r, int row, int col, const Column& c) {
    if (PQgetisnull(r, row, col))
        return DbValue();
    if (c.charLength() > 0)
        return DbValue::text(
            paddedUtf8(PQgetvalue(r, row, col), PQgetlength(r, row, col), c.charLength()));
    const QString text = QString::fromUtf8(PQgetvalue(r, row, col), PQgetlength(r, row, col));
    switch (c.type) {
    case kBool:
        return DbValue::integer(text == QLatin1String("t") ? 1 : 0);
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid:
        return DbValue::integer(text.toLongLong());
    case kFloat4:
    case kFloat8:
        return DbValue::real(text.toDouble());
    case kNumeric:
        return DbValue::decimalFromText(text);
    default:
        return asColumn(DbValue::text(text), c);
    }
}

// A null QByteArray travels as NULL, so an empty text must be an empty array that is not null.
QByteArray parameter(const DbValue& v) {
    switch (v.type()) {
    case DbValue::Type::Null:
        return QByteArray();
    case DbValue::Type::Real:
        return QByteArray::number(v.toDouble(), 'g', 17);
    default: {
        const QByteArray text = v.toString().toUtf8();
        return text.isNull() ? QByteArray("", 0) : text;
    }
    }
}

QString quoted(const QString& name) {
    return QLatin1Char('"') + QString(name).replace(u'"', QLatin1String("\"\"")) + QLatin1Char('"');
}

// Declares a cursor for `sql` and fetches its first rows. WITH HOLD keeps the cursor after the
// statement's own transaction ends, so other statements can run while its rows are read.
Result declare(Session& s, const QString& sql, QString& cursor, DbError& error) {
    cursor = QStringLiteral("vx_cursor_%1").arg(++s.cursors);
    if (!exec(s.conn.get(),
              QStringLiteral("DECLARE %1 NO SCROLL CURSOR WITH HOLD FOR %2").arg(cursor, sql),
              error))
        return nullptr;
    Result first = exec(s.conn.get(),
                        QStringLiteral("FETCH FORWARD %1 FROM %2").arg(kBatch).arg(cursor), error);
    if (!first) {
        DbError ignored;
        exec(s.conn.get(), QStringLiteral("CLOSE ") + cursor, ignored);
    }
    return first;
}

class PgRecordset final : public BufferedRecordset {
  public:
    PgRecordset(SharedSession session, Result first, QString sql, QString cursor, QStringList names,
                QString table, int locator)
        : BufferedRecordset(std::move(names), std::move(table)), session_(std::move(session)),
          batch_(std::move(first)), sql_(std::move(sql)), cursor_(std::move(cursor)),
          locator_(locator) {
        for (int i = 0; i < fieldCount(); ++i)
            columns_.push_back({PQftype(batch_.get(), i), PQfmod(batch_.get(), i)});
        noteBatchEnd();
    }
    ~PgRecordset() override { close(); }

  protected:
    Fetch fetch(Row& row) override {
        while (index_ >= PQntuples(batch_.get())) {
            if (cursor_.isEmpty())
                return Fetch::End;
            DbError error;
            batch_ =
                exec(session_->conn.get(),
                     QStringLiteral("FETCH FORWARD %1 FROM %2").arg(kBatch).arg(cursor_), error);
            index_ = 0;
            if (!batch_) {
                setError(error);
                return Fetch::Failed;
            }
            noteBatchEnd();
        }
        row.values.clear();
        for (int i = 0; i < fieldCount(); ++i)
            row.values.push_back(
                valueOf(batch_.get(), index_, i, columns_[static_cast<size_t>(i)]));
        row.locator = locator_ >= 0 ? QString::fromUtf8(PQgetvalue(batch_.get(), index_, locator_))
                                    : QString();
        ++index_;
        return Fetch::Row;
    }

    bool rewind() override {
        index_ = 0;
        if (sql_.isEmpty())
            return true; // a one-row read keeps its whole result
        close();
        DbError error;
        batch_ = declare(*session_, sql_, cursor_, error);
        if (!batch_) {
            cursor_.clear();
            setError(error);
            return false;
        }
        noteBatchEnd();
        return true;
    }

    bool writeRow(Row& row, const std::vector<int>& changed) override {
        QStringList sets;
        std::vector<QByteArray> params;
        for (const int c : changed) {
            params.push_back(parameter(row.values[static_cast<size_t>(c)]));
            sets << QStringLiteral("%1 = $%2").arg(quoted(names()[c])).arg(params.size());
        }
        params.push_back(row.locator.toUtf8());
        DbError error;
        // A row changed by UPDATE gets a new ctid; RETURNING hands it back for the next change.
        const Result r =
            execParams(session_->conn.get(),
                       QStringLiteral("UPDATE %1 SET %2 WHERE ctid = $%3::tid RETURNING ctid")
                           .arg(table(), sets.join(QStringLiteral(", ")))
                           .arg(params.size()),
                       params, error);
        if (!located(r, error, "updating"))
            return false;
        row.locator = QString::fromUtf8(PQgetvalue(r.get(), 0, 0));
        return true;
    }

    bool removeRow(const Row& row) override {
        DbError error;
        const Result r = execParams(
            session_->conn.get(),
            QStringLiteral("DELETE FROM %1 WHERE ctid = $1::tid RETURNING ctid").arg(table()),
            {row.locator.toUtf8()}, error);
        return located(r, error, "deleting");
    }

    DbValue asStored(int column, const DbValue& v) const override {
        return asColumn(v, columns_[static_cast<size_t>(column)]);
    }

  private:
    bool located(const Result& r, const DbError& error, const char* action) {
        if (!r) {
            setError(error);
            return false;
        }
        if (PQntuples(r.get()) == 0) {
            setError(engineError(QStringLiteral("Row cannot be located for %1. Some values may "
                                                "have been changed since it was last read.")
                                     .arg(QLatin1String(action))));
            return false;
        }
        return true;
    }

    // A short batch is the cursor's last: it is closed at once.
    void noteBatchEnd() {
        if (!cursor_.isEmpty() && PQntuples(batch_.get()) < kBatch)
            close();
    }

    void close() {
        if (cursor_.isEmpty())
            return;
        if (session_->ok()) {
            DbError ignored;
            exec(session_->conn.get(), QStringLiteral("CLOSE ") + cursor_, ignored);
        }
        cursor_.clear();
    }

    SharedSession session_;
    Result batch_;
    int index_ = 0;
    QString sql_;    // the query of a cursor, to start it again
    QString cursor_; // the open cursor; empty when none is open
    int locator_;    // the column of the hidden ctid, -1 when there is none
    std::vector<Column> columns_;
};

// The record manager's reads end in "LIMIT 1": one round trip, no cursor.
bool oneRowRead(const QString& sql) {
    static const QRegularExpression limit1(QStringLiteral("\\bLIMIT\\s+1\\s*;?\\s*$"),
                                           QRegularExpression::CaseInsensitiveOption);
    return limit1.match(sql).hasMatch();
}

Result run(Session& s, const QString& sql, bool single, QString& cursor, DbError& error) {
    if (single)
        return execParams(s.conn.get(), sql, {}, error);
    return declare(s, sql, cursor, error);
}

} // namespace

std::unique_ptr<Recordset> openRecordset(const SharedSession& session, const QString& text,
                                         DbError& error) {
    QString sql = text.trimmed();
    while (sql.endsWith(u';'))
        sql.chop(1);
    const bool single = oneRowRead(sql);
    QString cursor;
    Result first;
    QString query = sql;
    const auto table = singleTableQuery(sql);
    if (table) {
        // Tables without a ctid (views) cannot carry the locator; their rows are read-only.
        DbError ignored;
        query = withRowLocator(sql, *table, QStringLiteral("ctid"));
        first = run(*session, query, single, cursor, ignored);
    }
    const bool hasLocator = first != nullptr;
    if (!first) {
        query = sql;
        first = run(*session, query, single, cursor, error);
    }
    if (!first)
        return nullptr;
    const int visible = PQnfields(first.get()) - (hasLocator ? 1 : 0);
    QStringList names;
    for (int i = 0; i < visible; ++i)
        names << QString::fromUtf8(PQfname(first.get(), i));
    auto rs = std::make_unique<PgRecordset>(session, std::move(first), single ? QString() : query,
                                            cursor, names, table ? table->table : QString(),
                                            hasLocator ? visible : -1);
    if (!rs->start()) {
        error = rs->lastError();
        return nullptr;
    }
    error = DbError();
    return rs;
}

} // namespace vx::db::pg
