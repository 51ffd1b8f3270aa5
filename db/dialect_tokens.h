#pragma once
// The token stream the dialect translator works on, shared by its sources in db/ and used
// nowhere else.

#include "db/column_fit.h"

#include <QString>
#include <cstddef>
#include <functional>
#include <vector>

namespace vx::db::dialect_detail {

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

inline constexpr std::size_t npos = static_cast<std::size_t>(-1);

Tokens tokenize(const QString& s);

// The text of the tokens [from, to), as written.
QString join(const Tokens& t, std::size_t from, std::size_t to);

// Whether token i is the keyword or name `word` (ignoring case).
bool is(const Tokens& t, std::size_t i, QLatin1String word);
// Whether token i is the punctuation character c.
bool isPunct(const Tokens& t, std::size_t i, char16_t c);
// Whether token i is a name, plain or quoted.
bool isName(const Tokens& t, std::size_t i);
// Whether token i is an unsigned whole number.
bool isNumber(const Tokens& t, std::size_t i);

// The index of the first token after i that is not blank (t.size() when there is none).
std::size_t next(const Tokens& t, std::size_t i);
// The index of the first token that is not blank (t.size() when there is none).
std::size_t first(const Tokens& t);
// The index of the last token before i that is not blank (npos when there is none).
std::size_t previous(const Tokens& t, std::size_t i);
// The end of the statement that starts at `from`: its ";" outside parentheses, or t.size().
std::size_t statementEnd(const Tokens& t, std::size_t from);

void erase(Tokens& t, std::size_t from, std::size_t to);
void insert(Tokens& t, std::size_t at, Token token);

// SQLite: every string literal compared with something and every ORDER BY term in the queries
// and conditions of `t` gets COLLATE RTRIM, so trailing blanks do not count; not a literal
// compared with a column `isNumberColumn` names a number column (the function may be empty).
void collateComparisons(Tokens& t, const std::function<bool(const QString&)>& isNumberColumn);

// SQLite: the values INSERT ... VALUES and UPDATE ... SET write into CHAR and DECIMAL columns of
// the tables `tableFit` knows are made to fit them (literals cut or rounded, other expressions
// wrapped).
void fitWrittenValues(Tokens& t, const TableFitOf& tableFit);

} // namespace vx::db::dialect_detail
