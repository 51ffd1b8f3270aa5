#include "db/dialect_tokens.h"

#include <QStringList>
#include <set>

namespace vx::db::dialect_detail {
namespace {

bool isOperatorChar(const Tokens& t, std::size_t i, QLatin1String chars) {
    return i < t.size() && t[i].kind == Tok::Punct && chars.contains(t[i].text[0]);
}

bool isComparison(const QString& op) {
    static const QStringList ops = {
        QStringLiteral("="), QStringLiteral("=="), QStringLiteral("<>"), QStringLiteral("!="),
        QStringLiteral("<"), QStringLiteral("<="), QStringLiteral(">"),  QStringLiteral(">=")};
    return ops.contains(op);
}

// The first token of the comparison operator written just before the literal at i (npos when
// the literal does not follow one). "->>" and "<<" are not comparisons, so the whole run of
// operator characters is read.
std::size_t comparisonBefore(const Tokens& t, std::size_t i) {
    std::size_t at = previous(t, i);
    if (!isOperatorChar(t, at, QLatin1String("=<>!-")))
        return npos;
    QString op = t[at].text;
    while (at > 0 && isOperatorChar(t, at - 1, QLatin1String("=<>!-")))
        op.prepend(t[--at].text);
    return isComparison(op) ? at : npos;
}

// The first token after the comparison operator written just after the literal at i (npos
// when the literal is not followed by one).
std::size_t comparisonAfter(const Tokens& t, std::size_t i) {
    std::size_t at = next(t, i);
    QString op;
    for (; isOperatorChar(t, at, QLatin1String("=<>!")); ++at)
        op += t[at].text;
    return isComparison(op) ? next(t, at - 1) : npos;
}

bool isArithmetic(const Tokens& t, std::size_t i) {
    return isOperatorChar(t, i, QLatin1String("|+-*/%&~^"));
}

// The column name of a right operand that starts at i and is only a column ("T.col", "col");
// npos otherwise.
std::size_t rightOperandName(const Tokens& t, std::size_t i) {
    if (!isName(t, i))
        return npos;
    std::size_t name = i;
    if (isPunct(t, next(t, i), u'.'))
        name = next(t, next(t, i));
    return isName(t, name) && !isArithmetic(t, next(t, name)) ? name : npos;
}

// The column name of a left operand that ends at i and is only a column; npos otherwise.
std::size_t leftOperandName(const Tokens& t, std::size_t i) {
    if (!isName(t, i))
        return npos;
    std::size_t start = i;
    if (isPunct(t, previous(t, i), u'.'))
        start = previous(t, previous(t, i));
    return start != npos && isName(t, start) && !isArithmetic(t, previous(t, start)) ? i : npos;
}

using NumberColumn = std::function<bool(const QString&)>;

// Whether token i is the name of a number column, as written plain, "quoted" or [bracketed],
// alone or behind its table ("T.col").
bool isNumberColumnAt(const Tokens& t, std::size_t i, const NumberColumn& isNumberColumn) {
    if (!isNumberColumn || !isName(t, i) || isNumber(t, i))
        return false;
    QString name = t[i].text;
    if (t[i].kind == Tok::Quoted)
        name = name.mid(1, name.size() - 2);
    return isNumberColumn(name);
}

bool namesItsCollation(const Token& k) {
    return k.kind == Tok::Done && k.text.contains(QLatin1String("COLLATE"));
}

// UPDATE: the "=" of each "SET col = value" assignment, which is not a comparison.
std::set<std::size_t> assignments(const Tokens& t, std::size_t from, std::size_t to) {
    std::set<std::size_t> out;
    bool inSet = false;
    for (std::size_t i = from, depth = 0; i < to; ++i) {
        if (isPunct(t, i, u'('))
            ++depth;
        else if (isPunct(t, i, u')') && depth > 0)
            --depth;
        if (depth > 0)
            continue;
        if (is(t, i, QLatin1String("SET")))
            inSet = true;
        else if (is(t, i, QLatin1String("WHERE")) || is(t, i, QLatin1String("FROM")) ||
                 is(t, i, QLatin1String("RETURNING")))
            inSet = false;
        if (!inSet || !isPunct(t, i, u'='))
            continue;
        std::size_t before = previous(t, i);
        if (!isName(t, before))
            continue;
        before = previous(t, before);
        if (isPunct(t, before, u'.')) // a qualified name, "T.col"
            before = previous(t, previous(t, before));
        if (is(t, before, QLatin1String("SET")) || isPunct(t, before, u','))
            out.insert(i);
    }
    return out;
}

// The terms of the ORDER BY whose BY is at `by`: the token each term's expression ends with goes
// into `after`, unless the term names its collation already or is a plain number column (whose
// order no collation changes, and which with one could not be read in its index's order).
void collateOrderBy(const Tokens& t, std::size_t by, std::size_t to, std::set<std::size_t>& after,
                    const NumberColumn& isNumberColumn) {
    static const QStringList ends = {QStringLiteral("LIMIT"),     QStringLiteral("OFFSET"),
                                     QStringLiteral("ROWS"),      QStringLiteral("RANGE"),
                                     QStringLiteral("GROUPS"),    QStringLiteral("UNION"),
                                     QStringLiteral("INTERSECT"), QStringLiteral("EXCEPT")};
    std::size_t last = npos;
    bool named = false;
    int tokens = 0; // of the term's expression, blanks not counted
    const auto close = [&] {
        const bool plainName = tokens == 1 || (tokens == 3 && isPunct(t, previous(t, last), u'.'));
        if (last != npos && !named && !(plainName && isNumberColumnAt(t, last, isNumberColumn)))
            after.insert(last);
        last = npos;
        named = false;
        tokens = 0;
    };
    for (std::size_t i = by + 1, depth = 0; i < to; ++i) {
        const Token& k = t[i];
        if (k.kind == Tok::Space)
            continue;
        if (k.kind == Tok::Done && k.text.startsWith(QLatin1String(" LIMIT")))
            break;
        if (isPunct(t, i, u'(')) {
            ++depth;
        } else if (isPunct(t, i, u')')) {
            if (depth == 0)
                break; // the sub-query ends
            --depth;
        } else if (depth == 0) {
            if (isPunct(t, i, u',')) {
                close();
                continue;
            }
            if (is(t, i, QLatin1String("ASC")) || is(t, i, QLatin1String("DESC")) ||
                is(t, i, QLatin1String("NULLS"))) {
                close();
                named = true; // the rest of the term is not part of its expression
                continue;
            }
            if (k.kind == Tok::Word && ends.contains(k.text, Qt::CaseInsensitive))
                break;
            if (is(t, i, QLatin1String("COLLATE")))
                named = true;
        }
        if (namesItsCollation(k))
            named = true;
        last = i;
        ++tokens;
    }
    close();
}

// One statement of `t`, [from, to): the tokens that get a COLLATE RTRIM after them go into
// `after`. Only queries and the conditions of UPDATE and DELETE compare; an INSERT only in the
// query it may take its rows from; definitions never.
void collateStatement(const Tokens& t, std::size_t from, std::size_t to,
                      std::set<std::size_t>& after, const NumberColumn& isNumberColumn) {
    std::size_t start = from < to && t[from].kind == Tok::Space ? next(t, from) : from;
    if (is(t, start, QLatin1String("INSERT")) || is(t, start, QLatin1String("REPLACE"))) {
        while (start < to && !is(t, start, QLatin1String("SELECT")))
            ++start;
    } else if (!is(t, start, QLatin1String("SELECT")) && !is(t, start, QLatin1String("WITH")) &&
               !is(t, start, QLatin1String("UPDATE")) && !is(t, start, QLatin1String("DELETE"))) {
        return;
    }
    const std::set<std::size_t> assigned = assignments(t, start, to);
    for (std::size_t i = start; i < to; ++i) {
        if (t[i].kind == Tok::Literal) {
            const std::size_t op = comparisonBefore(t, i);
            if (op != npos) {
                const std::size_t other = previous(t, op);
                if (!assigned.count(op) && !(other != npos && namesItsCollation(t[other])) &&
                    !isNumberColumnAt(t, leftOperandName(t, other), isNumberColumn))
                    after.insert(i);
            } else if (const std::size_t other = comparisonAfter(t, i); other != npos) {
                if (!isNumberColumnAt(t, rightOperandName(t, other), isNumberColumn))
                    after.insert(i);
            }
        } else if (is(t, i, QLatin1String("ORDER")) && is(t, next(t, i), QLatin1String("BY"))) {
            collateOrderBy(t, next(t, i), to, after, isNumberColumn);
        }
    }
}

} // namespace

// SQLite compares text byte for byte unless a column's type names another rule, and tables
// made by other tools have plain CHAR(n) columns. A COLLATE RTRIM on either operand of a
// comparison decides it, so every text literal compared with something and every sort term
// gets one; a number column still converts a literal it is compared with, and numbers sort
// before and apart from text, so numeric comparisons and sorting do not change.
void collateComparisons(Tokens& t, const NumberColumn& isNumberColumn) {
    std::set<std::size_t> after;
    for (std::size_t from = 0; from < t.size();) {
        const std::size_t to = statementEnd(t, from);
        collateStatement(t, from, to, after, isNumberColumn);
        from = to + 1;
    }
    for (auto it = after.rbegin(); it != after.rend(); ++it) {
        // A word right behind the literal ("'B'or") needs a blank after the collation too.
        const std::size_t next = *it + 1;
        const bool glued =
            next < t.size() && (t[next].kind == Tok::Word || t[next].kind == Tok::Quoted);
        insert(t, next,
               {Tok::Done,
                glued ? QStringLiteral(" COLLATE RTRIM ") : QStringLiteral(" COLLATE RTRIM")});
    }
}

} // namespace vx::db::dialect_detail
