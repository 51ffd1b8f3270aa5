#include "app/report/lookups.h"

#include "db/codecs.h"
#include "db/state.h"
#include "db/table_ops.h"
#include "platform/err.h"

namespace vx::report {

namespace {

QString withoutTrailingBlanks(QString text) {
    qsizetype n = text.size();
    while (n > 0 && text[n - 1] == u' ')
        --n;
    text.truncate(n);
    return text;
}

} // namespace

QString comparedKey(const QString& keyText) {
    // The literal's text as the key slots hold it; between quotes, '' stands for one quote.
    QString literal = db::gsDB_SQLText(keyText, true, 0);
    return withoutTrailingBlanks(literal.replace(QStringLiteral("''"), QStringLiteral("'")));
}

QString comparedStored(const QString& stored) {
    return withoutTrailingBlanks(stored);
}

bool readAheadAllowed() {
    return qEnvironmentVariable("VANTREX_LOOKUPS")
               .compare(QLatin1String("keyed"), Qt::CaseInsensitive) != 0;
}

bool TableLookupBase::timeForWholeTable() {
    if (tried_ || !allowed_)
        return false;
    if (rows_ < 0) {
        Err().Clear();
        rows_ = db::glDB_Count(table_, db::tableInfo(table_).TableName);
        if (Err().Number != 0)
            rows_ = 0; // no count, no whole-table read
        Err().Clear();
    }
    tried_ = rows_ > 0 && ++misses_ * 1000 > rows_;
    return tried_;
}

bool TableLookupBase::readWholeTable(const QString& columns,
                                     const std::function<void(const db::RowView&)>& row) {
    Err().Clear();
    const bool any = db::gfbDB_Query(QStringLiteral("SELECT ") + columns +
                                         QStringLiteral(" FROM ") + db::tableInfo(table_).TableName,
                                     table_);
    if (!any) {
        const bool empty = Err().Number == 0;
        Err().Clear();
        return empty; // an empty table answers every key with "not found"
    }
    auto& rs = db::currentRecordset(table_);
    const bool read = rs && rs->scan([&row](const db::RowView& r) {
        row(r);
        return true;
    });
    // Keyed reads take their columns' names from the table's current recordset by position: it
    // must be the table's own again, not the two columns read here.
    db::gfbDB_OpenTable(table_);
    return read;
}

} // namespace vx::report
