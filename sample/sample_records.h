#pragma once
// The sample's rows written into the store's open tables through the record manager.

#include "sample/sample_data.h"
#include "sample/sample_store.h"

namespace vx::sample {

// The company record of the store: store 1, dates in the locale's own style.
bool insertCompany(QString* error);

// Vendors, items, purchase orders with their lines, and the receipts of completed orders, every
// date moved by `shiftDays`. Counts and the receipt dates go into `result`; false with
// result.error set at the first insert that fails.
bool insertSampleRecords(const SampleData& data, qint64 shiftDays, SampleStoreResult& result);

} // namespace vx::sample
