#include "db/dialect.h"

#include <QRegularExpression>
#include <QStringList>
#include <set>
#include <vector>

namespace vx::db {
namespace {

// The statement is cut into tokens so that every rewrite sees keywords and names only: string
// literals, quoted names and comments are single opaque tokens copied back unchanged.
enum class Tok {
    Space,   // blanks, line breaks and comments
    Literal, // '...' with '' inside
    Quoted,  // "name" or [name]
    Word,    // keyword, name or number
    Punct,   // one character of anything else
    Done,    // text produced by a rewrite; no later rewrite looks into it
};

struct Token {
    Tok kind;
    QString text;
};

using Tokens = std::vector<Token>;

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'@' || c == u'#' || c == u'$';
}

Tokens tokenize(const QString& s) {
    Tokens out;
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = s[i];
        qsizetype j = i + 1;
        Tok kind = Tok::Punct;
        if (c.isSpace()) {
            while (j < n && s[j].isSpace())
                ++j;
            kind = Tok::Space;
        } else if (c == u'-' && j < n && s[j] == u'-') {
            while (j < n && s[j] != u'\n')
                ++j;
            kind = Tok::Space;
        } else if (c == u'/' && j < n && s[j] == u'*') {
            const qsizetype end = s.indexOf(QLatin1String("*/"), j + 1);
            j = end < 0 ? n : end + 2;
            kind = Tok::Space;
        } else if (c == u'\'') {
            for (;;) {
                const qsizetype end = s.indexOf(u'\'', j);
                if (end < 0) {
                    j = n;
                    break;
                }
                j = end + 1;
                if (j < n && s[j] == u'\'') {
                    ++j; // an escaped quote: the literal goes on
                    continue;
                }
                break;
            }
            kind = Tok::Literal;
        } else if (c == u'"' || c == u'[') {
            const qsizetype end = s.indexOf(c == u'"' ? u'"' : u']', j);
            j = end < 0 ? n : end + 1;
            kind = Tok::Quoted;
        } else if (isWordChar(c)) {
            while (j < n && isWordChar(s[j]))
                ++j;
            kind = Tok::Word;
        }
        out.push_back({kind, s.mid(i, j - i)});
        i = j;
    }
    return out;
}

QString join(const Tokens& t, std::size_t from, std::size_t to) {
    QString out;
    for (std::size_t i = from; i < to && i < t.size(); ++i)
        out += t[i].text;
    return out;
}

bool is(const Tokens& t, std::size_t i, QLatin1String word) {
    return i < t.size() && t[i].kind == Tok::Word &&
           t[i].text.compare(word, Qt::CaseInsensitive) == 0;
}

bool isPunct(const Tokens& t, std::size_t i, char16_t c) {
    return i < t.size() && t[i].kind == Tok::Punct && t[i].text[0] == c;
}

bool isName(const Tokens& t, std::size_t i) {
    return i < t.size() && (t[i].kind == Tok::Word || t[i].kind == Tok::Quoted);
}

bool isNumber(const Tokens& t, std::size_t i) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    return i < t.size() && t[i].kind == Tok::Word && digits.match(t[i].text).hasMatch();
}

// The index of the first token after i that is not blank (t.size() when there is none).
std::size_t next(const Tokens& t, std::size_t i) {
    ++i;
    while (i < t.size() && t[i].kind == Tok::Space)
        ++i;
    return i;
}

std::size_t first(const Tokens& t) {
    return t.empty() || t[0].kind != Tok::Space ? 0 : next(t, 0);
}

void erase(Tokens& t, std::size_t from, std::size_t to) {
    t.erase(t.begin() + static_cast<std::ptrdiff_t>(from),
            t.begin() + static_cast<std::ptrdiff_t>(to));
}

void insert(Tokens& t, std::size_t at, Token token) {
    t.insert(t.begin() + static_cast<std::ptrdiff_t>(at), std::move(token));
}

// "jov.invt" names the table invt: the engines know no such schema.
void dropSchemaPrefix(Tokens& t) {
    for (std::size_t i = 0; i + 2 < t.size(); ++i) {
        if (is(t, i, QLatin1String("jov")) && isPunct(t, i + 1, u'.') && isName(t, i + 2) &&
            !(i > 0 && isPunct(t, i - 1, u'.')))
            erase(t, i, i + 2);
    }
}

// A DECIMAL or NUMERIC without precision holds 18 digits and no decimals.
void sizeBareDecimals(Tokens& t) {
    for (std::size_t i = 0; i < t.size(); ++i) {
        if ((is(t, i, QLatin1String("DECIMAL")) || is(t, i, QLatin1String("NUMERIC"))) &&
            !isPunct(t, next(t, i), u'('))
            t[i] = {Tok::Done, t[i].text + QLatin1String("(18,0)")};
    }
}

// ltrim() yields plain text, which both engines compare with trailing blanks; its result is
// given back the CHAR comparison rule.
void keepCharCompareOnLtrim(Tokens& t, Dialect dialect) {
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (!is(t, i, QLatin1String("ltrim")))
            continue;
        const std::size_t open = next(t, i);
        const std::size_t arg = next(t, open);
        const std::size_t close = next(t, arg);
        if (!isPunct(t, open, u'(') || !isName(t, arg) || !isPunct(t, close, u')'))
            continue;
        const QString call = join(t, i, close + 1);
        t[i] = {Tok::Done, dialect == Dialect::SQLite
                               ? QLatin1Char('(') + call + QLatin1String(" COLLATE RTRIM)")
                               : QLatin1String("CAST(") + call + QLatin1String(" AS bpchar)")};
        erase(t, i + 1, close + 1);
    }
}

// "SELECT TOP n ..." → "SELECT ... LIMIT n", the LIMIT closing the query the TOP belongs to: at
// the end of the statement (before a ";") or before the parenthesis that closes a sub-query.
void topToLimit(Tokens& t) {
    for (std::size_t i = 0; i < t.size(); ++i) {
        const std::size_t top = next(t, i);
        if (!is(t, i, QLatin1String("SELECT")) || !is(t, top, QLatin1String("TOP")))
            continue;
        std::size_t count = next(t, top);
        std::size_t last = count;
        if (isPunct(t, count, u'(')) {
            count = next(t, count);
            last = next(t, count);
            if (!isPunct(t, last, u')'))
                continue;
        }
        if (!isNumber(t, count))
            continue;
        const QString n = t[count].text;
        std::size_t end = last + 1;
        if (end < t.size() && t[end].kind == Tok::Space)
            ++end;
        erase(t, top, end);

        std::size_t at = i + 1;
        for (int depth = 0; at < t.size(); ++at) {
            if (isPunct(t, at, u'('))
                ++depth;
            else if (isPunct(t, at, u')') && depth-- == 0)
                break;
            else if (isPunct(t, at, u';') && depth == 0)
                break;
        }
        while (at > i + 1 && t[at - 1].kind == Tok::Space)
            --at;
        insert(t, at, {Tok::Done, QLatin1String(" LIMIT ") + n});
    }
}

// SQLite compares text byte for byte; COLLATE RTRIM after a CHAR(n) type makes the column
// ignore trailing blanks in comparisons, sorting and unique indexes.
void collateChars(Tokens& t) {
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (!is(t, i, QLatin1String("CHAR")))
            continue;
        std::size_t last = i;
        const std::size_t open = next(t, i);
        if (isPunct(t, open, u'(') && isPunct(t, next(t, next(t, open)), u')'))
            last = next(t, next(t, open));
        if (is(t, next(t, last), QLatin1String("COLLATE")))
            continue;
        insert(t, last + 1, {Tok::Done, QStringLiteral(" COLLATE RTRIM")});
    }
}

constexpr std::size_t npos = static_cast<std::size_t>(-1);

// The index of the last token before i that is not blank (npos when there is none).
std::size_t previous(const Tokens& t, std::size_t i) {
    while (i > 0) {
        if (t[--i].kind != Tok::Space)
            return i;
    }
    return npos;
}

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

bool comparisonAfter(const Tokens& t, std::size_t i) {
    std::size_t at = next(t, i);
    QString op;
    for (; isOperatorChar(t, at, QLatin1String("=<>!")); ++at)
        op += t[at].text;
    return isComparison(op);
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
// into `after`, unless the term names its collation already.
void collateOrderBy(const Tokens& t, std::size_t by, std::size_t to, std::set<std::size_t>& after) {
    static const QStringList ends = {QStringLiteral("LIMIT"),     QStringLiteral("OFFSET"),
                                     QStringLiteral("ROWS"),      QStringLiteral("RANGE"),
                                     QStringLiteral("GROUPS"),    QStringLiteral("UNION"),
                                     QStringLiteral("INTERSECT"), QStringLiteral("EXCEPT")};
    std::size_t last = npos;
    bool named = false;
    const auto close = [&] {
        if (last != npos && !named)
            after.insert(last);
        last = npos;
        named = false;
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
    }
    close();
}

// One statement of `t`, [from, to): the tokens that get a COLLATE RTRIM after them go into
// `after`. Only queries and the conditions of UPDATE and DELETE compare; an INSERT only in the
// query it may take its rows from; definitions never.
void collateStatement(const Tokens& t, std::size_t from, std::size_t to,
                      std::set<std::size_t>& after) {
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
                if (!assigned.count(op) && !(other != npos && namesItsCollation(t[other])))
                    after.insert(i);
            } else if (comparisonAfter(t, i)) {
                after.insert(i);
            }
        } else if (is(t, i, QLatin1String("ORDER")) && is(t, next(t, i), QLatin1String("BY"))) {
            collateOrderBy(t, next(t, i), to, after);
        }
    }
}

// SQLite compares text byte for byte unless a column's type names another rule, and tables
// made by other tools have plain CHAR(n) columns. A COLLATE RTRIM on either operand of a
// comparison decides it, so every text literal compared with something and every sort term
// gets one; a number column still converts a literal it is compared with, and numbers sort
// before and apart from text, so numeric comparisons and sorting do not change.
void collateComparisons(Tokens& t) {
    std::set<std::size_t> after;
    for (std::size_t from = 0; from < t.size();) {
        std::size_t to = from;
        for (int depth = 0; to < t.size() && !(depth == 0 && isPunct(t, to, u';')); ++to) {
            if (isPunct(t, to, u'('))
                ++depth;
            else if (isPunct(t, to, u')'))
                --depth;
        }
        collateStatement(t, from, to, after);
        from = to + 1;
    }
    for (auto it = after.rbegin(); it != after.rend(); ++it)
        insert(t, *it + 1, {Tok::Done, QStringLiteral(" COLLATE RTRIM")});
}

// The significant tokens' indexes, so that statement shapes can be matched word by word.
std::vector<std::size_t> significant(const Tokens& t) {
    std::vector<std::size_t> s;
    for (std::size_t i = first(t); i < t.size(); i = next(t, i))
        s.push_back(i);
    return s;
}

bool matches(const Tokens& t, const std::vector<std::size_t>& s, std::size_t from,
             std::initializer_list<const char*> words) {
    for (const char* w : words) {
        if (from >= s.size() || !is(t, s[from], QLatin1String(w)))
            return false;
        ++from;
    }
    return true;
}

// CREATE TABLE: a comma left before the closing parenthesis is dropped.
void dropTrailingComma(Tokens& t) {
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (isPunct(t, i, u',') && isPunct(t, next(t, i), u')'))
            erase(t, i, i + 1);
    }
}

// CREATE [UNIQUE] [CLUSTERED] INDEX name ON table: the engines keep index names per database,
// so the index is named table_name; CLUSTERED has no meaning there and goes.
void rewriteCreateIndex(Tokens& t) {
    std::size_t i = next(t, first(t));
    if (is(t, i, QLatin1String("UNIQUE")))
        i = next(t, i);
    if (is(t, i, QLatin1String("CLUSTERED")) || is(t, i, QLatin1String("NONCLUSTERED")))
        erase(t, i, next(t, i)); // the word and the blanks after it; i is now the next word
    if (!is(t, i, QLatin1String("INDEX")))
        return;
    const std::size_t name = next(t, i);
    const std::size_t on = next(t, name);
    const std::size_t table = next(t, on);
    if (name < t.size() && t[name].kind == Tok::Word && is(t, on, QLatin1String("ON")) &&
        table < t.size() && t[table].kind == Tok::Word)
        t[name].text = t[table].text + QLatin1Char('_') + t[name].text;
}

// DROP INDEX table.name, or DROP INDEX name ON table → DROP INDEX table_name.
void rewriteDropIndex(Tokens& t) {
    const std::size_t a = next(t, next(t, first(t)));
    if (a + 2 < t.size() && t[a].kind == Tok::Word && isPunct(t, a + 1, u'.') &&
        t[a + 2].kind == Tok::Word) {
        t[a] = {Tok::Done, t[a].text + QLatin1Char('_') + t[a + 2].text};
        erase(t, a + 1, a + 3);
        return;
    }
    const std::size_t on = next(t, a);
    const std::size_t table = next(t, on);
    if (a < t.size() && t[a].kind == Tok::Word && is(t, on, QLatin1String("ON")) &&
        table < t.size() && t[table].kind == Tok::Word) {
        t[a] = {Tok::Done, t[table].text + QLatin1Char('_') + t[a].text};
        erase(t, a + 1, table + 1);
    }
}

QString unquote(const QString& literal) {
    if (literal.size() < 2 || !literal.endsWith(u'\''))
        return {};
    return literal.mid(1, literal.size() - 2).replace(QLatin1String("''"), QLatin1String("'"));
}

bool isIdentifier(const QString& s) {
    static const QRegularExpression id(QStringLiteral("^[A-Za-z_][A-Za-z0-9_$#@]*$"));
    return id.match(s).hasMatch();
}

// [EXEC] sp_RENAME 'T.c', 'n', 'COLUMN' → ALTER TABLE T RENAME COLUMN c TO n;
// sp_RENAME 'T', 'n' → ALTER TABLE T RENAME TO n. Anything else is left as it is.
bool rewriteRename(const Tokens& t, std::vector<std::size_t> s, QString& sql) {
    if (!s.empty() && (is(t, s[0], QLatin1String("EXEC")) || is(t, s[0], QLatin1String("EXECUTE"))))
        s.erase(s.begin());
    if (!s.empty() && isPunct(t, s.back(), u';'))
        s.pop_back();
    if (s.empty() || !is(t, s[0], QLatin1String("sp_rename")))
        return false;
    QStringList args;
    for (std::size_t k = 1; k < s.size(); k += 2) {
        if (t[s[k]].kind != Tok::Literal || (k + 1 < s.size() && !isPunct(t, s[k + 1], u',')))
            return false;
        args << unquote(t[s[k]].text).trimmed();
    }
    if (args.size() < 2 || args.size() > 3)
        return false;
    const QStringList object = args[0].split(u'.');
    const QString& newName = args[1];
    if (args.size() == 3 && args[2].compare(QLatin1String("COLUMN"), Qt::CaseInsensitive) == 0 &&
        object.size() >= 2) {
        const QString& table = object[object.size() - 2];
        const QString& column = object.back();
        if (!isIdentifier(table) || !isIdentifier(column) || !isIdentifier(newName))
            return false;
        sql = QLatin1String("ALTER TABLE ") + table + QLatin1String(" RENAME COLUMN ") + column +
              QLatin1String(" TO ") + newName;
        return true;
    }
    if (args.size() == 2 && isIdentifier(object.back()) && isIdentifier(newName)) {
        sql =
            QLatin1String("ALTER TABLE ") + object.back() + QLatin1String(" RENAME TO ") + newName;
        return true;
    }
    return false;
}

// ALTER TABLE T ALTER COLUMN c type [NULL | NOT NULL].
bool rewriteAlterColumn(Tokens& t, const std::vector<std::size_t>& s, Dialect dialect,
                        Translated& out) {
    if (s.size() < 7 || !matches(t, s, 0, {"ALTER", "TABLE"}) ||
        !matches(t, s, 3, {"ALTER", "COLUMN"}) || !isName(t, s[2]) || !isName(t, s[5]))
        return false;
    const std::size_t column = s[5];
    std::size_t end = t.size();
    if (isPunct(t, s.back(), u';'))
        end = s.back();
    QString type = join(t, column + 1, end).trimmed();
    if (type.isEmpty())
        return false;
    out.table = t[s[2]].text;
    out.column = t[column].text;
    if (dialect == Dialect::SQLite) {
        out.kind = Translated::Kind::AlterColumn;
        out.type = sqliteColumnType(type);
        out.sql = join(t, 0, t.size());
        return true;
    }
    static const QRegularExpression nullRule(QStringLiteral("^(.*?\\S)\\s+(NOT\\s+)?NULL$"),
                                             QRegularExpression::CaseInsensitiveOption);
    QString nullClause;
    if (const auto m = nullRule.match(type); m.hasMatch()) {
        type = m.captured(1);
        nullClause = QLatin1String(", ALTER COLUMN ") + out.column +
                     (m.capturedLength(2) > 0 ? QLatin1String(" SET NOT NULL")
                                              : QLatin1String(" DROP NOT NULL"));
    }
    out.type = type;
    out.sql = join(t, 0, column + 1) + QLatin1String(" TYPE ") + type + QLatin1String(" USING ") +
              out.column + QLatin1String("::") + type + nullClause + join(t, end, t.size());
    return true;
}

} // namespace

Translated translate(const QString& sql, Dialect dialect) {
    Translated out;
    Tokens t = tokenize(sql);
    dropSchemaPrefix(t);
    sizeBareDecimals(t);
    keepCharCompareOnLtrim(t, dialect);
    topToLimit(t);
    if (dialect == Dialect::SQLite)
        collateComparisons(t);

    const std::vector<std::size_t> s = significant(t);
    if (matches(t, s, 0, {"CREATE", "TABLE"})) {
        dropTrailingComma(t);
        if (dialect == Dialect::SQLite)
            collateChars(t);
    } else if (matches(t, s, 0, {"CREATE"})) {
        rewriteCreateIndex(t);
    } else if (matches(t, s, 0, {"DROP", "INDEX"})) {
        rewriteDropIndex(t);
    } else if (rewriteAlterColumn(t, s, dialect, out)) {
        return out;
    } else if (matches(t, s, 0, {"ALTER", "TABLE"}) && matches(t, s, 3, {"ADD"})) {
        if (dialect == Dialect::SQLite)
            collateChars(t);
    } else if (rewriteRename(t, s, out.sql)) {
        return out;
    }
    out.sql = join(t, 0, t.size());
    return out;
}

QString sqliteColumnType(const QString& type) {
    Tokens t = tokenize(type);
    sizeBareDecimals(t);
    collateChars(t);
    return join(t, 0, t.size());
}

} // namespace vx::db
