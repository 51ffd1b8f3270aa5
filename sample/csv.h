#pragma once
// Reading the comma-separated files of the sample: a header row, then one row per record, fields
// quoted when they hold commas, quotes or line breaks (a quote inside is doubled), CR LF or LF
// line ends, UTF-8.

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace vx::sample {

struct CsvTable {
    QStringList columns;
    std::vector<QStringList> rows; // every row has as many fields as there are columns

    // The position of a column, -1 when there is none of that name.
    int column(const QString& name) const { return columns.indexOf(name); }
};

// nullopt with `error` set when the text is not well formed (an unclosed quote, a row with the
// wrong number of fields, no header).
std::optional<CsvTable> parseCsv(const QString& text, QString* error = nullptr);
std::optional<CsvTable> readCsv(const QString& path, QString* error = nullptr);

} // namespace vx::sample
