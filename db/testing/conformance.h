#pragma once
// The fixture of the engine conformance suite (one suite over several test files): helpers that
// run statements on the test connection and report the engine's error on failure.

#include "db/testing/backends.h"

#include <QStringList>

namespace vx::dbtest {

class EngineConformance : public BackendTest {
  protected:
    bool isPostgres() const { return onPostgresServer(GetParam()); }

    std::optional<long> exec(const QString& sql) {
        const auto r = conn->execute(sql);
        EXPECT_TRUE(r) << sql.toStdString() << ": " << conn->lastError().description.toStdString();
        return r;
    }

    std::unique_ptr<Recordset> open(const QString& sql) {
        auto rs = conn->openRecordset(sql);
        EXPECT_TRUE(rs) << sql.toStdString() << ": " << conn->lastError().description.toStdString();
        return rs;
    }

    // Every row of a query, its fields' texts joined by "|".
    QStringList rows(const QString& sql) {
        QStringList out;
        auto rs = open(sql);
        for (; rs && !rs->eof(); rs->moveNext()) {
            QStringList fields;
            for (int i = 0; i < rs->fieldCount(); ++i)
                fields << rs->value(i).toString();
            out << fields.join(u'|');
        }
        return out;
    }

    // The first field of the first row (NULL when there is none).
    DbValue first(const QString& sql) {
        auto rs = open(sql);
        return rs && !rs->eof() ? rs->value(0) : DbValue();
    }
};

} // namespace vx::dbtest
