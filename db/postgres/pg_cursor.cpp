#include "db/postgres/pg_internal.h"
#include "db/server_watch.h"

namespace vx::db::pg {
namespace {

// A connection of the session's login: an idle sibling, or a new one made from the session's
// own connection parameters (PQconninfo); null when none can be made.
Conn takeSibling(Session& s) {
    while (!s.siblings.empty()) {
        Conn c = std::move(s.siblings.back());
        s.siblings.pop_back();
        if (PQstatus(c.get()) == CONNECTION_OK)
            return c;
    }
    PQconninfoOption* options = PQconninfo(s.conn.get());
    if (!options)
        return nullptr;
    std::vector<const char*> keys, values;
    for (const PQconninfoOption* o = options; o->keyword; ++o) {
        if (o->val && *o->val) {
            keys.push_back(o->keyword);
            values.push_back(o->val);
        }
    }
    Conn c = connectWith(std::move(keys), std::move(values));
    PQconninfoFree(options);
    return PQstatus(c.get()) == CONNECTION_OK ? std::move(c) : nullptr;
}

// Reads what is left of a statement sent asynchronously: its results up to the null that ends
// them; the first is returned.
PGresult* collect(PGconn* c) {
    PGresult* first = PQgetResult(c);
    if (first)
        while (PGresult* more = PQgetResult(c))
            PQclear(more);
    return first;
}

} // namespace

Result Cursor::open(const SharedSession& session, const QString& sql, DbError& error) {
    close();
    session_ = session;
    const QString name = QStringLiteral("vx_cursor_%1").arg(++session->cursors);
    if (PQtransactionStatus(session->conn.get()) == PQTRANS_IDLE)
        sibling_ = takeSibling(*session);
    if (sibling_) {
        const bool declared =
            exec(sibling_.get(), QStringLiteral("BEGIN"), error) &&
            exec(sibling_.get(),
                 QStringLiteral("DECLARE %1 NO SCROLL CURSOR FOR %2").arg(name, sql), error);
        if (!declared) {
            DbError ignored;
            exec(sibling_.get(), QStringLiteral("ROLLBACK"), ignored);
            session->siblings.push_back(std::move(sibling_));
            return nullptr;
        }
    } else if (!exec(session->conn.get(),
                     QStringLiteral("DECLARE %1 NO SCROLL CURSOR WITH HOLD FOR %2").arg(name, sql),
                     error)) {
        return nullptr;
    }
    name_ = name;
    return settled(fetchNow(error));
}

Result Cursor::next(DbError& error) {
    if (!isOpen())
        return Result(PQmakeEmptyPGresult(nullptr, PGRES_TUPLES_OK));
    if (!pending_)
        return settled(fetchNow(error));
    pending_ = false;
    const ServerWait wait;
    return settled(checked(sibling_.get(), collect(sibling_.get()), error));
}

QString Cursor::fetchStatement() const {
    return QStringLiteral("FETCH FORWARD %1 FROM %2").arg(batch_).arg(name_);
}

Result Cursor::fetchNow(DbError& error) {
    return exec(sibling_ ? sibling_.get() : session_->conn.get(), fetchStatement(), error);
}

// A failed fetch or a short batch (the last) closes the cursor at once. Otherwise the next batch
// is asked for now, on a sibling, and read when the caller needs it.
Result Cursor::settled(Result batch) {
    if (!batch || PQntuples(batch.get()) < batch_) {
        close();
        return batch;
    }
    if (sibling_)
        pending_ = PQsendQuery(sibling_.get(), fetchStatement().toUtf8().constData()) == 1;
    return batch;
}

void Cursor::close() {
    if (!isOpen())
        return;
    DbError ignored;
    if (sibling_) {
        if (pending_) {
            const ServerWait wait;
            PQclear(collect(sibling_.get()));
        }
        pending_ = false;
        // Ending the transaction closes the cursor; the sibling is then free for another.
        if (exec(sibling_.get(), QStringLiteral("ROLLBACK"), ignored))
            session_->siblings.push_back(std::move(sibling_));
        sibling_.reset();
    } else if (session_->ok()) {
        exec(session_->conn.get(), QStringLiteral("CLOSE ") + name_, ignored);
    }
    name_.clear();
}

} // namespace vx::db::pg
