#pragma once
// The report manager's command line: "|"-separated tagged values START=, END=, DELETED=, TAX=,
// STORE= and EXPORT=, in any order.

#include <QString>

namespace vx {

// Sets the run parameters from the command line, one tag after the other.
void gpParseCommandLine(const QString& commandLine);

} // namespace vx
