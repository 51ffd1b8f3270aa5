#include "platform/err.h"

namespace vx {

ErrObject& Err() {
    static ErrObject err;
    return err;
}

} // namespace vx
