#pragma once
// Text helpers shared by the command line, the report specification file and the tables.

#include <QString>

namespace vx {

// The value after the first occurrence of `keyword` (exact, case-sensitive, anywhere in the
// text) up to the first `terminator` character after it or the end of the text, trailing blanks
// removed. A missing keyword, or a terminator right after it, gives the empty text.
QString gsFieldValue(const QString& text, const QString& keyword, const QString& terminator);

// True when the text has leading or trailing blanks.
bool gvHasOuterBlanks(const QString& text);

// The text without its leading and trailing blanks (spaces only; tabs and line ends stay).
QString trimBlanks(const QString& text);
// The text without its trailing blanks (spaces only).
QString trimTrailingBlanks(const QString& text);

} // namespace vx
