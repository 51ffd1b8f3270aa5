#include "util/files.h"

#include "platform/paths.h"

namespace vx {

// The path is taken literally: wildcard characters are part of the name, never patterns.
bool gfbFileExists(const QString& path) {
    return fileExists(nativePath(path));
}

} // namespace vx
