#pragma once
// The machine's date and number conventions, taken from the locale environment (LC_ALL, LC_TIME
// or LC_NUMERIC, LANG); the C and POSIX locales behave as en_US. Dates always show four-digit
// years.

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <optional>

namespace vx {

QLocale timeLocale();
QLocale numberLocale();

// The short date pattern of the locale in Qt's notation, with a four-digit year ("M/d/yyyy").
QString shortDatePattern();
// The locale's date separator ("/" for en_US).
QString dateSeparator();

// Reads a date text as leniently as the suite always has: day and month with one or two digits
// in the locale's order (or the other order when only that one makes a date), four- or two-digit
// years (00-29 → 20xx, 30-99 → 19xx), or ISO yyyy-mm-dd. Surrounding blanks are ignored.
std::optional<QDate> parseDate(const QString& text);

// Formats with a date pattern in the suite's notation: d, dd, m, mm, mmm, mmmm, yy, yyyy
// (letters in any case), h, hh, nn / mm after an hour, ss, "AM/PM", "/" as the locale's date
// separator, ":" as the time separator, other characters as they are; or one of the named
// formats "Short Date", "Long Date", "General Date", "Short Time", "Long Time".
QString formatDateTime(const QDateTime& when, const QString& pattern);
QString formatDate(const QDate& date, const QString& pattern);

// A text turned into a date and formatted with `pattern`; a text that is no date stays as it is.
QString formatDateText(const QString& text, const QString& pattern);

// Formats a number with a pattern such as "#,###.00", "#.00", "#.00#", "0.00" or the named
// "General Number"; the locale's thousands and decimal separators are used.
QString formatNumber(double value, const QString& pattern);

} // namespace vx
