#pragma once
// How this run of the program meets its user: batch or windowed, the event pump, the busy
// pointer, and how the program ends.

#include <functional>

namespace vx {

struct RuntimeOptions {
    bool batch = true; // no window can be shown
    bool yes = false;  // batch questions are answered Yes
};

RuntimeOptions& runtimeOptions();

// Lets pending window events run once (a no-op in batch mode).
void pumpEvents();

enum class Pointer { Default, Hourglass, ArrowHourglass };
// Shows the given mouse pointer over the whole program (a no-op in batch mode).
void setPointer(Pointer p);

// Ends the program with `status`. Production code exits the process; a test can install its own
// handler (which must not return normally).
[[noreturn]] void endProgram(int status);
using EndHandler = std::function<void(int)>;
void setEndHandler(EndHandler handler);

} // namespace vx
