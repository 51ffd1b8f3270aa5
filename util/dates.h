#pragma once
// Converting between the stored date form "yyyymmdd" and the display forms. A date style of "E"
// means day/month/year; any other style month/day/year.

#include <QString>

namespace vx {

// "dd/mm/yyyy" (style "E") or "mm/dd/yyyy" from a stored date; a blank stored value gives the
// value followed by two blanks.
QString gsDisplayDate(const QString& stored, const QString& style);

// The stored form "yyyymmdd" of a display date. The display text is first reformatted with the
// style's date pattern and written back into `display`; a blank value is returned unchanged.
QString gsStoredDate(QString& display, const QString& style);

} // namespace vx
