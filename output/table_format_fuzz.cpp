// Fuzz target: the table-text column format and its rows ("<1500|>1400|^~800;a|b|c;").
#include "fuzz/fuzz_support.h"
#include "output/table_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = vx::fuzz::text(data, size);
    vx::output::parseTableText(text);
    vx::output::parseColumnFormat(text);
    vx::output::parseRows(text);
    vx::output::leadingLineFeeds(text);
    return 0;
}
