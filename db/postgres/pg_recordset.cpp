#include "db/backend_support.h"
#include "db/buffered_recordset.h"
#include "db/postgres/pg_internal.h"

#include <QRegularExpression>
#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>

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

// Whole numbers, reals and plain decimals ("-12.500") as the server writes them, read straight
// from its text; nothing for anything else (exponents, NaN, more than 18 digits), which goes the
// general way.
std::optional<DbValue> plainNumber(std::string_view s, Oid type) {
    switch (type) {
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid: {
        std::int64_t v = 0;
        const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
        if (ec == std::errc() && end == s.data() + s.size())
            return DbValue::integer(v);
        return std::nullopt;
    }
    case kFloat4:
    case kFloat8: {
        double v = 0;
        const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
        if (ec == std::errc() && end == s.data() + s.size() && std::isfinite(v))
            return DbValue::real(v);
        return std::nullopt;
    }
    case kNumeric: {
        const bool negative = !s.empty() && s.front() == '-';
        std::int64_t unscaled = 0;
        int digits = 0, scale = 0;
        bool point = false;
        for (size_t i = negative ? 1 : 0; i < s.size(); ++i) {
            if (s[i] == '.' && !point) {
                point = true;
                continue;
            }
            if (s[i] < '0' || s[i] > '9' || ++digits > 18)
                return std::nullopt;
            unscaled = unscaled * 10 + (s[i] - '0');
            scale += point ? 1 : 0;
        }
        if (digits == 0)
            return std::nullopt;
        return DbValue::decimal(negative ? -unscaled : unscaled, scale);
    }
    default:
        return std::nullopt;
    }
}

DbValue valueOf(const PGresult* r, int row, int col, const Column& c) {
    if (PQgetisnull(r, row, col))
        return DbValue();
    const char* raw = PQgetvalue(r, row, col);
    const int length = PQgetlength(r, row, col);
    if (c.charLength() > 0)
        return DbValue::text(paddedUtf8(raw, length, c.charLength()));
    if (auto number = plainNumber(std::string_view(raw, static_cast<size_t>(length)), c.type))
        return *std::move(number);
    const QString text = QString::fromUtf8(raw, length);
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

// A row of a fetched batch, its columns converted only as they are asked for.
class BatchRowView final : public RowView {
  public:
    explicit BatchRowView(const std::vector<Column>& columns) : columns_(columns) {}
    void at(const PGresult* batch, int row) {
        batch_ = batch;
        row_ = row;
    }
    DbValue value(int index) const override {
        if (index < 0 || index >= static_cast<int>(columns_.size()))
            return DbValue();
        return valueOf(batch_, row_, index, columns_[static_cast<size_t>(index)]);
    }
    std::string_view utf8(int index) const override {
        if (index < 0 || index >= static_cast<int>(columns_.size()))
            return {};
        return {PQgetvalue(batch_, row_, index),
                static_cast<size_t>(PQgetlength(batch_, row_, index))};
    }

  private:
    const std::vector<Column>& columns_;
    const PGresult* batch_ = nullptr;
    int row_ = 0;
};

class PgRecordset final : public BufferedRecordset {
  public:
    PgRecordset(SharedSession session, Result first, QString sql, std::unique_ptr<Cursor> cursor,
                QStringList names, QString table, int locator)
        : BufferedRecordset(std::move(names), std::move(table)), session_(std::move(session)),
          batch_(std::move(first)), sql_(std::move(sql)), cursor_(std::move(cursor)),
          locator_(locator) {
        for (int i = 0; i < fieldCount(); ++i)
            columns_.push_back({PQftype(batch_.get(), i), PQfmod(batch_.get(), i)});
    }

  protected:
    Fetch fetch(Row& row) override {
        if (const Fetch f = nextBatchIfDone(); f != Fetch::Row)
            return f;
        row.values.clear();
        row.values.reserve(static_cast<size_t>(fieldCount()));
        for (int i = 0; i < fieldCount(); ++i)
            row.values.push_back(
                valueOf(batch_.get(), index_, i, columns_[static_cast<size_t>(i)]));
        row.locator = locator_ >= 0 ? QString::fromUtf8(PQgetvalue(batch_.get(), index_, locator_))
                                    : QString();
        ++index_;
        return Fetch::Row;
    }

    Fetch scanRest(const RowVisitor& visit, long& rows) override {
        BatchRowView view(columns_);
        for (;;) {
            if (const Fetch f = nextBatchIfDone(); f != Fetch::Row)
                return f;
            view.at(batch_.get(), index_++);
            ++rows;
            if (!visit(view))
                return Fetch::Row;
        }
    }

    bool rewind() override {
        index_ = 0;
        if (!cursor_)
            return true; // a one-row read keeps its whole result
        DbError error;
        batch_ = cursor_->open(session_, sql_, error);
        if (!batch_) {
            setError(error);
            return false;
        }
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
    // Row while the batch has rows left (fetching the next batch when this one is done), End
    // after the last one, Failed (error set) when the next batch could not be fetched.
    Fetch nextBatchIfDone() {
        while (index_ >= PQntuples(batch_.get())) {
            if (!cursor_ || !cursor_->isOpen())
                return Fetch::End;
            DbError error;
            batch_ = cursor_->next(error);
            index_ = 0;
            if (!batch_) {
                setError(error);
                return Fetch::Failed;
            }
        }
        return Fetch::Row;
    }

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

    SharedSession session_;
    Result batch_;
    int index_ = 0;
    QString sql_;                    // the query of a cursor, to start it again
    std::unique_ptr<Cursor> cursor_; // null for a one-row read
    int locator_;                    // the column of the hidden ctid, -1 when there is none
    std::vector<Column> columns_;
};

// The record manager's reads end in "LIMIT 1": one round trip, no cursor.
bool oneRowRead(const QString& sql) {
    static const QRegularExpression limit1(QStringLiteral("\\bLIMIT\\s+1\\s*;?\\s*$"),
                                           QRegularExpression::CaseInsensitiveOption);
    return limit1.match(sql).hasMatch();
}

Result run(const SharedSession& s, const QString& sql, Cursor* cursor, DbError& error) {
    if (!cursor)
        return execParams(s->conn.get(), sql, {}, error);
    return cursor->open(s, sql, error);
}

} // namespace

std::unique_ptr<Recordset> openRecordset(const SharedSession& session, const QString& text,
                                         DbError& error) {
    QString sql = text.trimmed();
    while (sql.endsWith(u';'))
        sql.chop(1);
    auto cursor = oneRowRead(sql) ? nullptr : std::make_unique<Cursor>(kBatch);
    Result first;
    QString query = sql;
    const auto table = singleTableQuery(sql);
    if (table) {
        // Tables without a ctid (views) cannot carry the locator; their rows are read-only.
        DbError ignored;
        query = withRowLocator(sql, *table, QStringLiteral("ctid"));
        first = run(session, query, cursor.get(), ignored);
    }
    const bool hasLocator = first != nullptr;
    if (!first) {
        query = sql;
        first = run(session, query, cursor.get(), error);
    }
    if (!first)
        return nullptr;
    const int visible = PQnfields(first.get()) - (hasLocator ? 1 : 0);
    QStringList names;
    for (int i = 0; i < visible; ++i)
        names << QString::fromUtf8(PQfname(first.get(), i));
    auto rs =
        std::make_unique<PgRecordset>(session, std::move(first), query, std::move(cursor), names,
                                      table ? table->table : QString(), hasLocator ? visible : -1);
    if (!rs->start()) {
        error = rs->lastError();
        return nullptr;
    }
    error = DbError();
    return rs;
}

} // namespace vx::db::pg
