#pragma once
// Profile (INI) files with the semantics the suite's programs expect of them: section and key
// names compare case-insensitively, the first match wins, blanks around names and values are
// trimmed, a value in matching quotes loses them, and every line a write does not touch is kept
// as it was. Writes replace the file atomically (temporary file + rename), through a symbolic
// link to the file it leads to. A file that is not UTF-8 is read as Windows-1252, as the suite's
// programs on Windows write it, and written back in that encoding.

#include <QString>
#include <optional>
#include <sys/types.h>

namespace vx::profile {

using OptText = std::optional<QString>;

// Reads like GetPrivateProfileString. With a section and a key: the value (or `def` without its
// trailing blanks when the key is missing) cut to size - 1 characters. Without a key: the key
// names of the section; without a section: the section names; each name is followed by a NUL and
// the list by one more, cut to size - 2 characters when it does not fit. `buffer` receives
// exactly `size` characters, NUL-filled behind the copied text. Returns the number of characters
// copied, not counting the final NUL. A missing or unreadable file reads as an empty file.
int getString(const OptText& section, const OptText& key, const QString& def, QString& buffer,
              int size, const QString& file);

// The value of one key, whole (no buffer limit); nullopt when the section or key is missing.
std::optional<QString> readValue(const QString& file, const QString& section, const QString& key);

// Writes like WritePrivateProfileString. A missing key deletes the whole section, a missing value
// deletes the key. Writing a value creates the file when its folder exists. Returns false when
// the file cannot be used: a delete on a missing file, an unreadable file, a folder, a change to
// an unwritable file (a call that changes nothing succeeds on it); and for a section, key or
// value holding a line break, which would add lines to the file.
// `newFileMode` is the mode of a file the call creates; with `forceMode` an existing file gets it
// too.
bool writeString(const OptText& section, const OptText& key, const OptText& value,
                 const QString& file, mode_t newFileMode = 0644, bool forceMode = false);

} // namespace vx::profile
