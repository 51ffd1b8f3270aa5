#pragma once
// The pages the end-to-end runs must produce, as the document's text dump shows them (the
// footer's date and time written as "<now>", today's date as "<today>").

#include <QString>

namespace vx::e2e {

QString expectedPages(const QString& caseName);

} // namespace vx::e2e
