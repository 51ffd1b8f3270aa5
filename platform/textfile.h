#pragma once
// The small text files the suite's programs share (specification file, logs, exports): written
// with CR LF line ends, read with LF or CR LF, UTF-8.

#include <QString>
#include <QStringList>
#include <optional>

namespace vx {

// The first line of a file, without its line end; at most `maxBytes` bytes of it are read, so
// a file without line breaks cannot exhaust memory. nullopt when the file cannot be read.
std::optional<QString> readFirstLine(const QString& path, qsizetype maxBytes = 1 << 20);

// Replaces the file by `lines`, each ended by CR LF, atomically. False when it cannot be written;
// `error` then says why.
bool writeLines(const QString& path, const QStringList& lines, QString* error = nullptr);

// Appends `lines`, each ended by CR LF, creating the file when needed. False on failure.
bool appendLines(const QString& path, const QStringList& lines, QString* error = nullptr);

} // namespace vx
