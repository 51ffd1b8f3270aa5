#pragma once
// Windows-1252, the code page programs of the suite on Windows write their INI text in: Latin-1
// with printable characters (€, curly quotes, dashes ...) in place of most of 0x80 to 0x9F.

#include <QByteArray>
#include <QString>

namespace vx {

// Whether `bytes` are well-formed UTF-8 (plain ASCII is).
bool isUtf8(QByteArrayView bytes);
QString fromWindows1252(QByteArrayView bytes);
// Characters the code page lacks become '?'.
QByteArray toWindows1252(QStringView text);

} // namespace vx
