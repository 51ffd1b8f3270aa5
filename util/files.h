#pragma once
// File tests of the suite's programs.

#include <QString>

namespace vx {

// True when `path` (a path of this machine or written the Windows way) names an existing file.
// No wildcards; any error gives false.
bool gfbFileExists(const QString& path);

} // namespace vx
