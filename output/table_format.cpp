#include "output/table_format.h"

namespace vx::output {

int leadingLineFeeds(const QString& format) {
    int n = 0;
    for (const QChar c : format) {
        if (c == QLatin1Char('\n'))
            ++n;
        else if (c != QLatin1Char('\r'))
            break;
    }
    return n;
}

QList<Column> parseColumnFormat(const QString& format) {
    QString f = format.trimmed();
    if (f.endsWith(QLatin1Char(';')))
        f.chop(1);
    QList<Column> columns;
    if (f.isEmpty())
        return columns;
    for (const QString& spec : f.split(QLatin1Char('|'))) {
        Column c;
        QString digits;
        for (const QChar ch : spec) {
            if (ch == QLatin1Char('<'))
                c.align = Align::Left;
            else if (ch == QLatin1Char('^'))
                c.align = Align::Centre;
            else if (ch == QLatin1Char('>'))
                c.align = Align::Right;
            else if (ch == QLatin1Char('~'))
                c.oneLine = true;
            else if (ch.isDigit())
                digits += ch;
        }
        bool ok = false;
        const int width = digits.toInt(&ok);
        c.width = ok ? width : -1;
        columns.append(c);
    }
    return columns;
}

QList<QStringList> parseRows(const QString& cells) {
    QList<QStringList> rows;
    QStringList texts = cells.split(QLatin1Char(';'));
    if (texts.size() > 1 && texts.last().trimmed().isEmpty())
        texts.removeLast(); // the ";" that ends the last row
    for (const QString& row : texts)
        rows.append(row.split(QLatin1Char('|')));
    return rows;
}

TableText parseTableText(const QString& formatAndCells) {
    TableText t;
    const qsizetype end = formatAndCells.indexOf(QLatin1Char(';'));
    if (end < 0) { // no format section: one left-aligned column as wide as the page
        t.columns.append(Column{});
        t.rows = parseRows(formatAndCells);
        return t;
    }
    t.columns = parseColumnFormat(formatAndCells.left(end));
    t.rows = parseRows(formatAndCells.mid(end + 1));
    return t;
}

} // namespace vx::output
