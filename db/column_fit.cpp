#include "db/column_fit.h"

#include "db/backend_support.h"

namespace vx::db {

ColumnFit TableFit::of(const QString& name) const {
    for (qsizetype i = 0; i < names.size() && i < static_cast<qsizetype>(columns.size()); ++i) {
        if (names[i].compare(name, Qt::CaseInsensitive) == 0)
            return columns[static_cast<std::size_t>(i)];
    }
    return {};
}

QString firstCharacters(const QString& text, int n) {
    qsizetype end = 0;
    for (int count = 0; end < text.size() && count < n; ++count) {
        const bool pair =
            text[end].isHighSurrogate() && end + 1 < text.size() && text[end + 1].isLowSurrogate();
        end += pair ? 2 : 1;
    }
    return end < text.size() ? text.left(end) : text;
}

DbValue fitted(const DbValue& v, const ColumnFit& fit) {
    if (v.isNull())
        return v;
    switch (fit.kind) {
    case ColumnFit::Kind::Char: {
        const QString text = v.toString();
        // No UTF-16 text is shorter in characters than in units: most values need no count.
        if (text.size() <= fit.size)
            return v;
        const QString cut = firstCharacters(text, fit.size);
        return cut.size() == text.size() ? v : DbValue::text(cut);
    }
    case ColumnFit::Kind::Decimal:
        // A whole number fits every scale; kept whole, it never passes through a double.
        return v.type() == DbValue::Type::Integer ? v : scaledDecimal(v, fit.size);
    case ColumnFit::Kind::Keep:
        break;
    }
    return v;
}

FitWrap fitWrap(const ColumnFit& fit) {
    switch (fit.kind) {
    case ColumnFit::Kind::Char:
        return {QStringLiteral("substr("), QStringLiteral(", 1, %1)").arg(fit.size)};
    case ColumnFit::Kind::Decimal:
        return {QLatin1String(kDecimalFitFunction) + QLatin1Char('('),
                QStringLiteral(", %1)").arg(fit.size)};
    case ColumnFit::Kind::Keep:
        break;
    }
    return {};
}

} // namespace vx::db
