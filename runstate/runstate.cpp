#include "runstate.h"

namespace vx {

RunState& runState() {
    static RunState state;
    return state;
}

void resetRunState() {
    runState() = RunState{};
}

} // namespace vx
