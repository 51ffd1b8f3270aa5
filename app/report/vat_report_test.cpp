// The input-VAT report on both engines: which orders count, detail rows and vendor totals, more
// than ten vendors, and one vendor in the summary-only form. The end-to-end test shows both
// forms' pages and the range without orders.
#include "app/report/received_summary.h"
#include "app/report/testing/report_fixture.h"
#include "runstate/runstate.h"

#include <gtest/gtest.h>

namespace vx::report::test {
namespace {

const QString F = QStringLiteral("<2300|<3000|<1500|^1400|>2000;");

QString row(const QString& cells) {
    return QStringLiteral("table ") + F + cells;
}

class VatReport : public ReportDb {
  protected:
    void SetUp() override {
        ReportDb::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        env_.setEnv("LC_ALL", QStringLiteral("C"));
        openStore(1, "E");
        RunState& run = runState();
        run.gbVatReport = true;
        run.gsStartKey = QStringLiteral("20240101");
        run.gsEndKey = QStringLiteral("20240131");
    }
    void addOrders() {
        addVendor("V1", "Acme Supply");
        addVendor("V2", "Beta Co");
        addHeader({"P1", "VP1", "V2", "C", "", "20240105", "12.50"});
        addHeader({"P2", "VP2", "V1", "B", "", "20240106", " 1000.5 "});
        addHeader({"P3", "VP3", "V2", "U", "", "20240107", "0.004"});
        addHeader({"P4", "VP4", "V1", "X", "", "20240108", "99"}); // cancelled
        addHeader({"P5", "VP5", "V1", "C", "", "20240201", "99"}); // after the range
        addHeader({"P6", "VP6", "V1", "C", "", "20240109", ""});   // no VAT
    }
};

TEST_P(VatReport, PrintsEachOrderVendorTotalsAndTheSummary) {
    addOrders();
    ASSERT_TRUE(gfbPrintVatReport(host.doc));
    const QString v1 = pad("V1", 15), v2 = pad("V2", 15);
    const QStringList expected{
        row(v1 + "|Acme Supply|VP2         |06/01/2024|1,000.50"),
        QStringLiteral("bold on"),
        row("||TOTAL||1,000.50"),
        QStringLiteral("bold off"),
        row("||||"),
        row(v2 + "|Beta Co|VP1         |05/01/2024|12.50"),
        row(v2 + "|Beta Co|VP3         |07/01/2024|.00"),
        QStringLiteral("bold on"),
        row("||TOTAL||12.50"),
        QStringLiteral("bold off"),
        row("||||"),
        row("|SUMMARY|||"),
        row("|Acme Supply|||1,000.50"),
        row("|Beta Co|||12.50"),
        row("||||"),
        QStringLiteral("bold on"),
        row("|TOTAL INPUT VAT|||1,013.00"),
        QStringLiteral("bold off"),
    };
    EXPECT_EQ(host.doc.calls(), expected);
}

TEST_P(VatReport, TheRangeIncludesBothEndDays) {
    addOrders();
    runState().gsStartKey = QStringLiteral("20240105");
    runState().gsEndKey = QStringLiteral("20240106");
    receivedSummaryState().gbVatSummaryOnly = true;
    ASSERT_TRUE(gfbPrintVatReport(host.doc));
    EXPECT_EQ(host.doc.calls(QStringLiteral("table ")).back(), row("|TOTAL INPUT VAT|||1,013.00"));
}

TEST_P(VatReport, AnEleventhVendorIsTotalledLikeTheOthers) {
    for (int v = 0; v < 12; ++v) {
        const QByteArray code = "V" + QByteArray::number(v + 10);
        const QByteArray po = "P" + QByteArray::number(v);
        addVendor(code.constData(), ("Vendor " + code).constData());
        addHeader({po.constData(), po.constData(), code.constData(), "C", "", "20240110", "1"});
    }
    receivedSummaryState().gbVatSummaryOnly = true;
    ASSERT_TRUE(gfbPrintVatReport(host.doc));
    const QStringList rows = host.doc.calls(QStringLiteral("table "));
    ASSERT_EQ(rows.size(), 12 + 3);
    EXPECT_EQ(rows[11], row("|Vendor V20|||1.00"));
    EXPECT_EQ(rows[12], row("|Vendor V21|||1.00"));
    EXPECT_EQ(rows.back(), row("|TOTAL INPUT VAT|||12.00"));
}

TEST_P(VatReport, OneVendorGetsItsTotalAlsoInSummaryOnlyForm) {
    addVendor("V1", "Acme Supply");
    addHeader({"P1", "VP1", "V1", "C", "", "20240105", "2"});
    receivedSummaryState().gbVatSummaryOnly = true;
    ASSERT_TRUE(gfbPrintVatReport(host.doc));
    EXPECT_EQ(host.doc.calls(QStringLiteral("table ")).first(), row("||TOTAL||2.00"));
}

INSTANTIATE_TEST_SUITE_P(Engines, VatReport, ::testing::ValuesIn(dbtest::allBackends()),
                         dbtest::backendName);

} // namespace
} // namespace vx::report::test
