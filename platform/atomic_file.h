#pragma once
// Writing files so that no failure passes unnoticed: replacing a file's whole content so that a
// crash leaves either the old or the new file, and adding to the end of one.

#include <QByteArray>
#include <QString>
#include <sys/types.h>

namespace vx {

// Writes `data` into a temporary file beside `path`, flushes it to disk and renames it over
// `path`. The file gets `mode`; when `keepExistingMode` is set and `path` exists, its present mode
// is kept instead. A `path` that is a symbolic link is written through: the file it leads to is
// replaced and the link stays. On failure the old file is untouched, the temporary file removed,
// `error` (when given) says why, and the result is false.
bool writeFileAtomically(const QString& path, const QByteArray& data, mode_t mode,
                         bool keepExistingMode, QString* error = nullptr);

// Adds `data` at the end of `path` (created, mode 0644, when missing). False, with `error` (when
// given) saying why, when any of it could not be written.
bool appendToFile(const QString& path, const QByteArray& data, QString* error = nullptr);

} // namespace vx
