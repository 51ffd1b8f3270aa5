#pragma once
// Parsing of table text: a column format ("<2700|^1400|>1400;") followed by cells ("|" between
// cells, ";" ending a row). Per column an alignment ("<" left, "^" centred, ">" right), an
// optional "~" (one line, clipped) and a width in twips.

#include <QList>
#include <QString>
#include <QStringList>

namespace vx::output {

enum class Align { Left, Centre, Right };

struct Column {
    Align align = Align::Left;
    bool oneLine = false; // "~": the cell stays on one line and is clipped to its column
    int width = -1;       // twips; -1 when the format gives none
};

struct TableText {
    QList<Column> columns;
    QList<QStringList> rows;
};

// A column format such as "<2700|^~1400|>1400" (a trailing ";" and leading line breaks are
// ignored). A column without width keeps -1; the layout gives it a share of the free width.
QList<Column> parseColumnFormat(const QString& format);

// Rows separated by ";" with cells separated by "|". A trailing ";" ends the last row; text after
// the last ";" is one more row. An empty text is one empty row.
QList<QStringList> parseRows(const QString& cells);

// Format and cells in one text: everything up to the first ";" is the format.
TableText parseTableText(const QString& formatAndCells);

// The number of line feeds in front of a format: each is an empty line before the table.
int leadingLineFeeds(const QString& format);

} // namespace vx::output
