#pragma once
// The store's rows written into the open tables: the company record, then vendors, items,
// purchase orders with their lines, and the receiving history, each in large transactions.

#include "bench/generate_store.h"

namespace vx::bench {

// The company record: store 1, dates in the locale's own style (USEurope blank).
bool insertCompany(QString* error);

// Everything else, as planned; counts, range and phase times go into `result`. False with
// result.error set at the first failure.
bool loadStore(const BenchStoreOptions& options, const StorePlan& plan, BenchStoreResult& result);

} // namespace vx::bench
