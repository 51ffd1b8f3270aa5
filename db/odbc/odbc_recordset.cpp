#include "db/backend_support.h"
#include "db/buffered_recordset.h"
#include "db/odbc/odbc_internal.h"
#include "db/server_watch.h"

#include <array>

namespace vx::db::odbc {

namespace {

struct Column {
    SQLSMALLINT type = 0;
    SQLULEN size = 0;
    SQLSMALLINT decimals = 0;

    bool isChar() const { return type == SQL_CHAR || type == SQL_WCHAR; }
    bool isWhole() const {
        return type == SQL_TINYINT || type == SQL_SMALLINT || type == SQL_INTEGER ||
               type == SQL_BIGINT || type == SQL_BIT;
    }
    bool isApproximate() const {
        return type == SQL_REAL || type == SQL_FLOAT || type == SQL_DOUBLE;
    }
    bool isExact() const { return type == SQL_DECIMAL || type == SQL_NUMERIC; }
    // Values an optimistic match can compare exactly (no floats, long texts or binaries).
    bool matchable() const {
        return isChar() || isWhole() || isExact() || type == SQL_VARCHAR || type == SQL_WVARCHAR;
    }
};

// One value bound to a statement's "?": text, converted by the driver to the column's type.
struct Parameter {
    QString text;
    SQLLEN indicator = 0;
    Column column;
};

QString parameterText(const DbValue& v) {
    if (v.type() == DbValue::Type::Real)
        return QString::number(v.toDouble(), 'g', 17);
    return v.toString();
}

class OdbcRecordset final : public BufferedRecordset {
  public:
    OdbcRecordset(SharedSource source, DbcHandle session, Handle stmt, QStringList names,
                  std::vector<Column> columns, QString table, QString sql)
        : BufferedRecordset(std::move(names), std::move(table)), source_(std::move(source)),
          session_(std::move(session)), stmt_(std::move(stmt)), columns_(std::move(columns)),
          sql_(std::move(sql)) {}

    ~OdbcRecordset() override { finish(); }

    // Reads every row now and closes the cursor, so that the main session is free at once.
    bool readWhole() {
        whole_ = true;
        for (;;) {
            Row row;
            const Fetch f = fetchFromCursor(row);
            if (f == Fetch::End)
                return true;
            if (f == Fetch::Failed)
                return false;
            rows_.push_back(std::move(row));
        }
    }

  protected:
    Fetch fetch(Row& row) override {
        if (!whole_)
            return fetchFromCursor(row);
        if (next_ >= rows_.size())
            return Fetch::End;
        row = rows_[next_++];
        return Fetch::Row;
    }

    bool rewind() override {
        if (whole_) {
            next_ = 0;
            return true;
        }
        finish();
        const ServerWait wait;
        DbError error;
        session_ = source_->takeSession(error);
        if (session_)
            stmt_ = newStatement(session_.get(), error);
        if (stmt_ && !succeeded(SQLExecDirectW(
                         stmt_.get(),
                         const_cast<SQLWCHAR*>(wide(forSource(sql_, source_->dialect))), SQL_NTS)))
            error = callError(SQL_HANDLE_STMT, stmt_.get(), session_.get(), source_->shown());
        if (error.number != 0) {
            setError(error);
            finish();
            return false;
        }
        return true;
    }

  private:
    Fetch fetchFromCursor(Row& row) {
        if (!stmt_)
            return Fetch::End;
        const ServerWait wait;
        const SQLRETURN r = SQLFetch(stmt_.get());
        if (r == SQL_NO_DATA) {
            finish();
            return Fetch::End;
        }
        if (!succeeded(r)) {
            setError(callError(SQL_HANDLE_STMT, stmt_.get(),
                               session_ ? session_.get() : source_->main.get(), source_->shown()));
            finish();
            return Fetch::Failed;
        }
        row.values.clear();
        row.values.reserve(columns_.size());
        for (size_t i = 0; i < columns_.size(); ++i) {
            DbValue v;
            if (!read(static_cast<SQLUSMALLINT>(i + 1), columns_[i], v)) {
                finish();
                return Fetch::Failed;
            }
            row.values.push_back(std::move(v));
        }
        row.locator = table().isEmpty() ? QString() : QStringLiteral("1");
        return Fetch::Row;
    }

  protected:
    bool writeRow(Row& row, const std::vector<int>& changed) override {
        QStringList sets;
        std::vector<Parameter> params;
        for (const int c : changed) {
            sets << quoted(names()[c]) + QStringLiteral(" = ?");
            params.push_back(parameter(row.values[static_cast<size_t>(c)], c));
        }
        return changeOne(
            QStringLiteral("UPDATE %1 SET %2 WHERE ").arg(table(), sets.join(QStringLiteral(", "))),
            params, "updated");
    }

    bool removeRow(const Row&) override {
        std::vector<Parameter> params;
        return changeOne(QStringLiteral("DELETE FROM %1 WHERE ").arg(table()), params, "deleted");
    }

    DbValue asStored(int column, const DbValue& v) const override {
        return stored(v, columns_[static_cast<size_t>(column)]);
    }

  private:
    static DbValue stored(const DbValue& v, const Column& c) {
        if (v.isNull())
            return v;
        if (c.isChar())
            return paddedChar(v.type() == DbValue::Type::Text ? v : DbValue::text(v.toString()),
                              static_cast<int>(c.size));
        if (c.isExact())
            return scaledDecimal(v, c.decimals);
        return v;
    }

    QString quoted(const QString& name) const {
        return source_->quote +
               QString(name).replace(source_->quote, source_->quote + source_->quote) +
               source_->quote;
    }

    Parameter parameter(const DbValue& v, int column) const {
        Parameter p{parameterText(v), 0, columns_[static_cast<size_t>(column)]};
        p.indicator = v.isNull() ? SQL_NULL_DATA : static_cast<SQLLEN>(p.text.size() * 2);
        return p;
    }

    // Reads column `n` of the current row.
    bool read(SQLUSMALLINT n, const Column& c, DbValue& out) {
        SQLLEN indicator = 0;
        if (c.isWhole()) {
            SQLBIGINT v = 0;
            if (!got(SQLGetData(stmt_.get(), n, SQL_C_SBIGINT, &v, 0, &indicator)))
                return false;
            out = indicator == SQL_NULL_DATA ? DbValue() : DbValue::integer(v);
            return true;
        }
        if (c.isApproximate()) {
            double v = 0;
            if (!got(SQLGetData(stmt_.get(), n, SQL_C_DOUBLE, &v, 0, &indicator)))
                return false;
            out = indicator == SQL_NULL_DATA ? DbValue() : DbValue::real(v);
            return true;
        }
        QString text;
        bool null = false;
        if (!readText(n, text, null))
            return false;
        if (null)
            out = DbValue();
        else if (c.isExact())
            out = scaledDecimal(DbValue::decimalFromText(text), c.decimals);
        else
            out = stored(DbValue::text(text), c);
        return true;
    }

    // A text value, read in parts when it is longer than the buffer.
    bool readText(SQLUSMALLINT n, QString& text, bool& null) {
        for (;;) {
            SQLLEN indicator = 0;
            const SQLRETURN r = SQLGetData(stmt_.get(), n, SQL_C_WCHAR, buffer_.data(),
                                           sizeof(buffer_), &indicator);
            if (r == SQL_NO_DATA)
                return true;
            if (!got(r))
                return false;
            if (indicator == SQL_NULL_DATA) {
                null = true;
                return true;
            }
            const qsizetype room = static_cast<qsizetype>(buffer_.size()) - 1;
            const bool more = indicator == SQL_NO_TOTAL ||
                              indicator / static_cast<SQLLEN>(sizeof(SQLWCHAR)) > room;
            const qsizetype chars =
                more ? room : static_cast<qsizetype>(indicator / sizeof(SQLWCHAR));
            text += fromWide(buffer_.data(), chars);
            if (!more)
                return true;
        }
    }

    bool got(SQLRETURN r) {
        if (succeeded(r))
            return true;
        setError(statementError(diagnostics(SQL_HANDLE_STMT, stmt_.get())));
        return false;
    }

    // Runs "<head> <match of the row as read>" on the main session inside a transaction that
    // is kept only when exactly one row was changed.
    bool changeOne(const QString& head, std::vector<Parameter>& params, const char* action);

    // Closes the cursor; a stream session goes back to the pool for the next query.
    void finish() {
        // A driver may wait for the server to acknowledge the end of a result read part way.
        const ServerWait wait;
        if (stmt_) {
            const bool closed = succeeded(SQLFreeStmt(stmt_.get(), SQL_CLOSE));
            stmt_.reset();
            if (closed && session_)
                source_->giveBack(std::move(session_));
        }
        session_ = DbcHandle();
    }

    SharedSource source_;
    DbcHandle session_; // the stream session; empty for a query read on the main session
    Handle stmt_;
    std::vector<Column> columns_;
    QString sql_;
    bool whole_ = false; // the rows were read at once (a short query)
    std::vector<Row> rows_;
    size_t next_ = 0;
    std::array<SQLWCHAR, 4096> buffer_{};
};

bool OdbcRecordset::changeOne(const QString& head, std::vector<Parameter>& params,
                              const char* action) {
    const std::vector<DbValue>& original = originalValues();
    QStringList match;
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (!columns_[i].matchable())
            continue;
        const QString name = quoted(names()[static_cast<int>(i)]);
        if (original[i].isNull()) {
            match << name + QStringLiteral(" IS NULL");
        } else {
            match << name + QStringLiteral(" = ?");
            params.push_back(parameter(original[i], static_cast<int>(i)));
        }
    }
    if (match.isEmpty()) {
        setError(engineError(QStringLiteral("The row cannot be %1: none of its columns can "
                                            "identify it.")
                                 .arg(QLatin1String(action))));
        return false;
    }
    const QString sql = head + match.join(QStringLiteral(" AND "));
    const ServerWait wait;
    SQLHDBC dbc = source_->main.get();
    DbError error;
    Handle stmt = newStatement(dbc, error);
    if (!stmt) {
        setError(error);
        return false;
    }
    for (size_t i = 0; i < params.size(); ++i) {
        Parameter& p = params[i];
        const SQLULEN size =
            std::max<SQLULEN>({p.column.size, static_cast<SQLULEN>(p.text.size()), SQLULEN(1)});
        SQLBindParameter(stmt.get(), static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT, SQL_C_WCHAR,
                         p.column.type, size, p.column.decimals,
                         const_cast<ushort*>(p.text.utf16()), p.indicator, &p.indicator);
    }
    SQLSetConnectAttrW(dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF),
                       SQL_IS_UINTEGER);
    const SQLRETURN r = SQLExecDirectW(stmt.get(), const_cast<SQLWCHAR*>(wide(sql)), SQL_NTS);
    SQLLEN rows = 0;
    if (succeeded(r))
        SQLRowCount(stmt.get(), &rows);
    else if (r != SQL_NO_DATA)
        error = callError(SQL_HANDLE_STMT, stmt.get(), dbc, source_->shown());
    stmt.reset();
    SQLEndTran(SQL_HANDLE_DBC, dbc, error.number == 0 && rows == 1 ? SQL_COMMIT : SQL_ROLLBACK);
    SQLSetConnectAttrW(dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON),
                       SQL_IS_UINTEGER);
    if (error.number == 0 && rows == 0)
        error = engineError(
            QStringLiteral("Row cannot be located for %1. Some values may have "
                           "been changed since it was last read.")
                .arg(QLatin1String(action == QLatin1String("updated") ? "updating" : "deleting")));
    else if (error.number == 0 && rows > 1)
        error = engineError(QStringLiteral("The row cannot be %1: %2 rows hold the same values, "
                                           "so nothing was changed.")
                                .arg(QLatin1String(action))
                                .arg(rows));
    if (error.number != 0) {
        setError(error);
        return false;
    }
    return true;
}

// The columns of an executed statement.
bool describe(SQLHSTMT stmt, QStringList& names, std::vector<Column>& columns, DbError& error) {
    SQLSMALLINT count = 0;
    if (!succeeded(SQLNumResultCols(stmt, &count))) {
        error = statementError(diagnostics(SQL_HANDLE_STMT, stmt));
        return false;
    }
    for (SQLSMALLINT i = 1; i <= count; ++i) {
        std::array<SQLWCHAR, 256> name{};
        SQLSMALLINT length = 0, nullable = 0;
        Column c;
        if (!succeeded(SQLDescribeColW(stmt, static_cast<SQLUSMALLINT>(i), name.data(), name.size(),
                                       &length, &c.type, &c.size, &c.decimals, &nullable))) {
            error = statementError(diagnostics(SQL_HANDLE_STMT, stmt));
            return false;
        }
        names << fromWide(name.data(), std::min<qsizetype>(length, name.size() - 1));
        columns.push_back(c);
    }
    return true;
}

} // namespace

std::unique_ptr<Recordset> openRecordset(const SharedSource& source, const QString& sql,
                                         DbError& error) {
    const QString text = forSource(sql, source->dialect);
    const ServerWait wait;
    DbcHandle session;
    SQLHDBC dbc = source->main.get();
    if (!shortQuery(sql) && !source->inTransaction) {
        session = source->takeSession(error);
        if (!session)
            return nullptr;
        dbc = session.get();
    }
    Handle stmt = newStatement(dbc, error);
    if (!stmt)
        return nullptr;
    if (!succeeded(SQLExecDirectW(stmt.get(), const_cast<SQLWCHAR*>(wide(text)), SQL_NTS))) {
        error = callError(SQL_HANDLE_STMT, stmt.get(), dbc, source->shown());
        return nullptr;
    }
    QStringList names;
    std::vector<Column> columns;
    if (!describe(stmt.get(), names, columns, error))
        return nullptr;
    if (names.isEmpty()) {
        error = engineError(QStringLiteral("The statement returns no rows."));
        return nullptr;
    }
    const auto single = singleTableQuery(text);
    const bool streams = static_cast<bool>(session);
    auto rs = std::make_unique<OdbcRecordset>(source, std::move(session), std::move(stmt), names,
                                              std::move(columns),
                                              single ? single->table : QString(), sql);
    if ((!streams && !rs->readWhole()) || !rs->start()) {
        error = rs->lastError();
        return nullptr;
    }
    error = DbError();
    return rs;
}

} // namespace vx::db::odbc
