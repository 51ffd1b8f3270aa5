#pragma once
// A store on one engine for the report tests, opened as start-up opens it, and row helpers.

#include "app/report/report_run.h"
#include "db/testing/backends.h"
#include "output/testing/recording_printer.h"
#include "testsupport/scripted_messages.h"

#include <QString>
#include <cstdint>

namespace vx::report::test {

// The records the tests add, with the fields the report reads.
struct History {
    const char *po, *vendor, *received; // received: yyyymmdd
    std::int32_t item;
    float qty;
    std::int64_t unitCost; // ten-thousandths
    const char* status = "R";
};

struct Header {
    const char *po, *vendorPO, *vendor, *status;
    const char *cancelDate = "", *changeDate = "", *vat = "" /* Spare1 */, *scode = "",
               *orderDate = "";
};

// A host that hands out one recording document per run.
class RecordingHost : public ReportHost {
  public:
    output::ReportPrinter& printer() override {
        doc = output::RecordingPrinter{};
        return doc;
    }
    void unloadPreview() override { ++unloads; }
    output::RecordingPrinter doc;
    int unloads = 0;
};

class ReportDb : public dbtest::BackendTest {
  protected:
    void SetUp() override;
    void TearDown() override;
    // Opens the tables with a company record of store 1 in the US date style.
    void openStore();

    void addVendor(const char* code, const char* name);
    void addItem(std::int32_t recordNum, std::int64_t price, const char* sl, const char* itemId,
                 const char* description, std::int64_t avgCost = 0, std::int16_t qtyInPack = 1);
    void addHistory(const History& h);
    void addHeader(const Header& h);
    void addLine(const char* po, std::int16_t lineNum, std::int32_t item, float onOrder);

    ScopedScriptedMessages boxes;
    RecordingHost host;
    int nextId_ = 1;
};

} // namespace vx::report::test
