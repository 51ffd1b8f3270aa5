#include "sample/csv.h"

#include <QFile>

namespace vx::sample {

namespace {

bool fail(QString* error, const QString& text) {
    if (error)
        *error = text;
    return false;
}

// Splits the text into rows of fields; false on an unclosed quote.
bool splitRows(const QString& text, std::vector<QStringList>& rows, QString* error) {
    QStringList row;
    QString field;
    bool quoted = false;     // inside a quoted field
    bool rowStarted = false; // the current row has a character of its own
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c != u'"')
                field += c;
            else if (i + 1 < n && text[i + 1] == u'"')
                field += text[++i];
            else
                quoted = false;
            continue;
        }
        if (c == u'"') {
            quoted = true;
            rowStarted = true;
        } else if (c == u',') {
            row << field;
            field.clear();
            rowStarted = true;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            if (rowStarted) {
                row << field;
                rows.push_back(row);
            }
            row.clear();
            field.clear();
            rowStarted = false;
        } else {
            field += c;
            rowStarted = true;
        }
    }
    if (quoted)
        return fail(error, QStringLiteral("a quoted field is not closed"));
    if (rowStarted) {
        row << field;
        rows.push_back(row);
    }
    return true;
}

} // namespace

std::optional<CsvTable> parseCsv(const QString& text, QString* error) {
    std::vector<QStringList> rows;
    if (!splitRows(text, rows, error))
        return std::nullopt;
    if (rows.empty()) {
        fail(error, QStringLiteral("there is no header row"));
        return std::nullopt;
    }
    CsvTable table;
    table.columns = rows.front();
    for (size_t i = 1; i < rows.size(); ++i) {
        if (rows[i].size() != table.columns.size()) {
            fail(error, QStringLiteral("row %1 has %2 fields instead of %3")
                            .arg(i + 1)
                            .arg(rows[i].size())
                            .arg(table.columns.size()));
            return std::nullopt;
        }
        table.rows.push_back(std::move(rows[i]));
    }
    return table;
}

std::optional<CsvTable> readCsv(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(error, path + QStringLiteral(": ") + file.errorString());
        return std::nullopt;
    }
    QString why;
    auto table = parseCsv(QString::fromUtf8(file.readAll()), &why);
    if (!table)
        fail(error, path + QStringLiteral(": ") + why);
    return table;
}

} // namespace vx::sample
