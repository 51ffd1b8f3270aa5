// Fuzz target: the report manager's command line ("START=...|END=...|EXPORT=Y").
#include "app/commandline.h"
#include "fuzz/fuzz_support.h"
#include "runstate/runstate.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vx::fuzz::setUpOnce();
    vx::resetRunState();
    vx::gpParseCommandLine(vx::fuzz::text(data, size));
    return 0;
}
