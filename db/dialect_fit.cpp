#include "db/column_fit.h"
#include "db/dialect_tokens.h"

#include <optional>

namespace vx::db::dialect_detail {
namespace {

// One value of a VALUES row, or the expression of a SET assignment: its significant tokens lie
// in [first, last].
struct Item {
    std::size_t first = npos;
    std::size_t last = npos;
    int count = 0;
};

// A number as SQL writes it: sign, digits, point, digits, exponent. `decimals`: the digits after
// the point; `exponent`: whether it has one.
bool scanNumber(const QString& s, int& decimals, bool& exponent) {
    const qsizetype n = s.size();
    qsizetype i = 0;
    const auto digit = [&](qsizetype at) { return at < n && s[at] >= u'0' && s[at] <= u'9'; };
    if (i < n && (s[i] == u'-' || s[i] == u'+'))
        ++i;
    int digits = 0;
    for (; digit(i); ++i)
        ++digits;
    decimals = 0;
    if (i < n && s[i] == u'.') {
        for (++i; digit(i); ++i)
            ++decimals;
    }
    if (digits + decimals == 0)
        return false;
    exponent = i < n && (s[i] == u'e' || s[i] == u'E');
    if (exponent) {
        ++i;
        if (i < n && (s[i] == u'-' || s[i] == u'+'))
            ++i;
        if (!digit(i))
            return false;
        while (digit(i))
            ++i;
    }
    return i == n;
}

// The text of `number` rounded to `scale` decimals, exactly; nullopt when it fits already (or
// is too large to round).
std::optional<QString> rounded(const QString& number, int scale) {
    const DbValue v = DbValue::decimalFromText(number);
    if (v.type() != DbValue::Type::Decimal)
        return std::nullopt;
    const DbValue r = v.roundedTo(scale);
    if (r.type() != DbValue::Type::Decimal || r == v)
        return std::nullopt;
    return r.toString();
}

QString quote(QString text) {
    return QLatin1Char('\'') + text.replace(u'\'', QLatin1String("''")) + QLatin1Char('\'');
}

// A text literal written into a column of `fit`.
void fitTextLiteral(Token& k, const ColumnFit& fit) {
    if (k.text.size() < 2 || !k.text.endsWith(u'\''))
        return; // not closed: the engine reports it
    // A literal no longer than the CHAR length with its quotes off fits whatever it holds.
    if (fit.kind == ColumnFit::Kind::Char && k.text.size() - 2 <= fit.size)
        return;
    const QString text =
        k.text.mid(1, k.text.size() - 2).replace(QLatin1String("''"), QLatin1String("'"));
    if (fit.kind == ColumnFit::Kind::Char) {
        const QString cut = firstCharacters(text, fit.size);
        if (cut.size() < text.size())
            k = {Tok::Done, quote(cut)};
        return;
    }
    int decimals = 0;
    bool exponent = false;
    const QString number = text.trimmed();
    if (!scanNumber(number, decimals, exponent) || (!exponent && decimals <= fit.size))
        return; // no number (stored as text), or one that fits
    if (const auto r = rounded(number, fit.size))
        k = {Tok::Done, quote(*r)};
}

// True when `item` is a number literal that fits now (rounded if need be); false when it is
// some other expression, or a number that only the engine can make fit.
bool fitNumber(Tokens& t, const Item& item, const ColumnFit& fit) {
    const Token& head = t[item.first];
    if (head.kind != Tok::Word && head.kind != Tok::Punct)
        return false;
    QString text = head.text;
    for (std::size_t i = item.first + 1; i <= item.last; ++i) {
        if (t[i].kind != Tok::Word && t[i].kind != Tok::Punct && t[i].kind != Tok::Space)
            return false;
        if (t[i].kind != Tok::Space)
            text += t[i].text;
    }
    int decimals = 0;
    bool exponent = false;
    if (!scanNumber(text, decimals, exponent))
        return false;
    if (fit.kind == ColumnFit::Kind::Char) {
        // SQLite stores a number as its own text; a whole number of few digits is never longer
        // than written. Any other goes through substr().
        return decimals == 0 && !exponent && !text.contains(u'.') && text.size() <= 18 &&
               text.size() <= fit.size;
    }
    if (!exponent && decimals <= fit.size)
        return true;
    if (const auto r = rounded(text, fit.size)) {
        t[item.first] = {Tok::Done, *r};
        for (std::size_t i = item.first + 1; i <= item.last; ++i)
            t[i] = {Tok::Space, QString()};
    }
    return true;
}

// Tokens are edited in place, never inserted or erased: a statement of many rows stays linear.
void fitItem(Tokens& t, const Item& item, const ColumnFit& fit) {
    if (fit.kind == ColumnFit::Kind::Keep || item.count == 0)
        return;
    if (item.count == 1 && t[item.first].kind == Tok::Literal) {
        fitTextLiteral(t[item.first], fit);
        return;
    }
    if (item.count == 1 &&
        (is(t, item.first, QLatin1String("NULL")) || is(t, item.first, QLatin1String("DEFAULT"))))
        return;
    if (fitNumber(t, item, fit))
        return;
    const FitWrap wrap = fitWrap(fit);
    t[item.first] = {Tok::Done, wrap.before + t[item.first].text};
    t[item.last] = {Tok::Done, t[item.last].text + wrap.after};
}

bool endsAssignments(const Token& k) {
    static const QLatin1String words[] = {QLatin1String("WHERE"), QLatin1String("FROM"),
                                          QLatin1String("RETURNING"), QLatin1String("ORDER"),
                                          QLatin1String("LIMIT")};
    for (const QLatin1String w : words) {
        if (k.text.compare(w, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// The item that starts at i: up to the comma or closing parenthesis of a VALUES row (`inRow`)
// or to the comma or clause that ends a SET assignment. Returns the index of that token.
std::size_t scanItem(const Tokens& t, std::size_t i, std::size_t to, bool inRow, Item& item) {
    for (int depth = 0; i < to; ++i) {
        const Token& k = t[i];
        if (k.kind == Tok::Space)
            continue;
        if (k.kind == Tok::Punct) {
            if (k.text[0] == u'(') {
                ++depth;
            } else if (k.text[0] == u')') {
                if (depth == 0)
                    break;
                --depth;
            } else if (k.text[0] == u',' && depth == 0) {
                break;
            }
        } else if (!inRow && depth == 0 && k.kind == Tok::Word && endsAssignments(k)) {
            break;
        }
        if (item.first == npos)
            item.first = i;
        item.last = i;
        ++item.count;
    }
    return i;
}

QString bare(const Token& k) {
    return k.kind == Tok::Quoted ? k.text.mid(1, k.text.size() - 2) : k.text;
}

// The table named at i, plain, quoted or behind its schema ("main.T"); i moves onto its name.
QString tableAt(const Tokens& t, std::size_t& i) {
    if (!isName(t, i))
        return {};
    while (isPunct(t, next(t, i), u'.') && isName(t, next(t, next(t, i))))
        i = next(t, next(t, i));
    return bare(t[i]);
}

// INSERT [OR x] [INTO] T [(columns)] VALUES (...), (...): i is the token after INSERT.
void fitInsert(Tokens& t, std::size_t i, std::size_t to, const TableFitOf& tableFit) {
    if (is(t, i, QLatin1String("OR")))
        i = next(t, next(t, i));
    if (is(t, i, QLatin1String("INTO")))
        i = next(t, i);
    const QString table = tableAt(t, i);
    const TableFit* fit = table.isEmpty() ? nullptr : tableFit(table);
    if (!fit)
        return;
    i = next(t, i);
    if (is(t, i, QLatin1String("AS")))
        i = next(t, next(t, i));
    std::vector<ColumnFit> listed;
    const bool hasList = isPunct(t, i, u'(');
    if (hasList) {
        for (i = next(t, i); i < to && !isPunct(t, i, u')'); i = next(t, i)) {
            if (isName(t, i))
                listed.push_back(fit->of(bare(t[i])));
        }
        i = next(t, i);
    }
    const std::vector<ColumnFit>& columns = hasList ? listed : fit->columns;
    if (!is(t, i, QLatin1String("VALUES")))
        return;
    for (i = next(t, i); i < to && isPunct(t, i, u'(');) {
        std::size_t at = i;
        for (std::size_t column = 0;; ++column) {
            Item item;
            at = scanItem(t, next(t, at), to, true, item);
            if (column < columns.size())
                fitItem(t, item, columns[column]);
            if (!isPunct(t, at, u','))
                break;
        }
        if (!isPunct(t, at, u')') || !isPunct(t, next(t, at), u','))
            return;
        i = next(t, next(t, at));
    }
}

// UPDATE [OR x] T SET c = value, ... [FROM | WHERE ...]: i is the token after UPDATE.
void fitUpdate(Tokens& t, std::size_t i, std::size_t to, const TableFitOf& tableFit) {
    if (is(t, i, QLatin1String("OR")))
        i = next(t, next(t, i));
    const QString table = tableAt(t, i);
    while (i < to && !is(t, i, QLatin1String("SET")))
        i = next(t, i);
    const TableFit* fit = table.isEmpty() || i >= to ? nullptr : tableFit(table);
    if (!fit)
        return;
    for (i = next(t, i); i < to;) {
        std::size_t column = npos;
        std::size_t at = i;
        for (; isName(t, at) || isPunct(t, at, u'.'); at = next(t, at)) {
            if (isName(t, at))
                column = at;
        }
        if (column == npos || !isPunct(t, at, u'='))
            return; // "(a, b) = ..." or something else: left to the engine
        Item item;
        at = scanItem(t, next(t, at), to, false, item);
        fitItem(t, item, fit->of(bare(t[column])));
        if (!isPunct(t, at, u','))
            return;
        i = next(t, at);
    }
}

} // namespace

// SQLite keeps whatever a statement writes. The literals an INSERT's VALUES rows and an UPDATE's
// SET assignments write into CHAR and DECIMAL columns are cut or rounded here, exactly; any
// other expression is wrapped so that the engine fits its value as it writes it.
void fitWrittenValues(Tokens& t, const TableFitOf& tableFit) {
    for (std::size_t from = 0; from < t.size();) {
        const std::size_t to = statementEnd(t, from);
        const std::size_t start = t[from].kind == Tok::Space ? next(t, from) : from;
        if (start < to &&
            (is(t, start, QLatin1String("INSERT")) || is(t, start, QLatin1String("REPLACE"))))
            fitInsert(t, next(t, start), to, tableFit);
        else if (start < to && is(t, start, QLatin1String("UPDATE")))
            fitUpdate(t, next(t, start), to, tableFit);
        from = to + 1;
    }
}

} // namespace vx::db::dialect_detail
