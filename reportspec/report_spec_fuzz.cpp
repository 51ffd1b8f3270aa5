// Fuzz target: the report specification file, read from the program folder.
#include "fuzz/fuzz_support.h"
#include "reportspec/reports_common.h"
#include "runstate/runstate.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString root = vx::fuzz::setUpOnce();
    vx::fuzz::writeFile(root + QStringLiteral("/program/") + QString(vx::kReportSpecFileName),
                        vx::fuzz::bytes(data, size));
    vx::resetRunState();
    vx::gfbReadReportSpec(QString(vx::kReportSpecFileName));
    return 0;
}
