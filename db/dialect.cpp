#include "db/dialect.h"

#include "db/dialect_tokens.h"

#include <QRegularExpression>
#include <QStringList>
#include <vector>

namespace vx::db {

using namespace dialect_detail;

namespace {

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

Translated translate(const QString& sql, Dialect dialect, const IsNumberColumn& isNumberColumn,
                     const TableFitOf& tableFit) {
    Translated out;
    Tokens t = tokenize(sql);
    dropSchemaPrefix(t);
    sizeBareDecimals(t);
    keepCharCompareOnLtrim(t, dialect);
    topToLimit(t);
    if (dialect == Dialect::SQLite)
        collateComparisons(t, isNumberColumn);
    if (dialect == Dialect::SQLite && tableFit)
        fitWrittenValues(t, tableFit);

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
