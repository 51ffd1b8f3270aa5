// The deleted-order report on both engines: which cancelled orders are kept (not those of
// another status or before the start date) and in which order, the order blocks, the printed
// lines (not the missing item's), and the closing line of every order.
#include "app/report/deleted_orders.h"
#include "app/report/testing/report_fixture.h"
#include "output/document.h"
#include "runstate/runstate.h"

#include <gtest/gtest.h>

namespace vx::report::test {
namespace {

const QString kLine = QStringLiteral("table ^1000|<1000|<1500|<3400|>1400|>1400;");
const QString kBlank = QStringLiteral("table <2700|<2700|<1300|^1400|>1400|>1400;|||||;");
const QString kRule =
    QStringLiteral("add ^~10775 [] ") + QString(65, u'_').repeated(5) + QStringLiteral("- - - \\r");

class DeletedOrders : public ReportDb {
  protected:
    void SetUp() override {
        ReportDb::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        env_.setEnv("LC_ALL", QStringLiteral("C"));
        openStore();
        runState().gsStartDate = QStringLiteral("1/1/2024");
        runState().gbShowDeleted = true;
    }
    void addOrders() {
        addVendor("V1", "Acme Supply");
        addItem(1, 0, "12345678", "WIDGET", "Blue widget", 12500, 6);
        addItem(2, 0, "~SPECIAL", "GADGET", "Gadget", 20000, 1);
        addHeader({"P0", "VP0", "V1", "C", "20240115"});
        addHeader({"P1", "VP1", "V9", "X", "20240110", "", "", "BOB", "20240102"});
        addHeader({"P2", "VP2", "V1", "X", "20231215", "", "", "AL", "20231201"});
        addHeader({"P3", "VP3", "V1", "X", "20240120", "", "", "JANE", "20240105"});
        addLine("P3", 1, 1, 2);
        addLine("P3", 2, 99, 1); // the item is gone
        addLine("P3", 3, 2, 0);  // nothing on order
        addLine("P1", 1, 2, 1.5f);
        addLine("P0", 1, 1, 4);
    }
};

TEST_P(DeletedOrders, PrintsEachOrderWithItsLinesAndClosingLine) {
    addOrders();
    gpPrintDeletedReport(host.doc);
    const QStringList expected{
        "bold on",
        kRule,
        "add <~1200|<~2000|<~4000|<~4000; [] 01/20/2024|PO#: VP3|Vendor: V1  Acme Supply|"
        "Date Ordered: 01/05/2024",
        "bold off",
        kLine + "12|1234567.8|" + pad("WIDGET", 25) + u'|' + pad("Blue widget", 30) +
            "|1.25 |15.00 ",
        kBlank,
        kBlank,
        "bold on",
        kLine + "|||Cancelled by JANE     01/20/2024",
        kRule,
        "add <~1200|<~2000|<~4000|<~4000; [] 01/10/2024|PO#: VP1|Vendor: |"
        "Date Ordered: 01/02/2024",
        "bold off",
        kLine + "1.5|~SPECIAL|" + pad("GADGET", 25) + u'|' + pad("Gadget", 30) + "|2.00 |3.00 ",
        kBlank,
        kBlank,
        "bold on",
        kLine + "|||Cancelled by BOB      01/10/2024",
        kRule,
        "bold off",
    };
    EXPECT_EQ(host.doc.calls(), expected);
    EXPECT_TRUE(boxes.boxes().isEmpty()) << boxes.texts().join(u'\n').toStdString();
}

TEST_P(DeletedOrders, LongCodesNamesAndAmountsShowWholeOnThePage) {
    const QString name = QStringLiteral("Bergeron Off-Field Supplies and Sons");
    addVendor("V7", name.toLatin1().constData());
    addItem(1, 0, "10000033", "WIDGET", "Blue widget", 4912658045800LL, 1); // 491,265,804.58
    addHeader({"P7", "VP7", "V7", "X", "20240120", "", "", "JANE", "20240105"});
    addLine("P7", 1, 1, 2);
    output::Document page;
    page.startDoc();
    gpPrintDeletedReport(page);
    page.endDoc();
    const QString text = page.textDump();
    for (const QString& whole : {QStringLiteral("1000003.3"), QStringLiteral("Vendor: V7  ") + name,
                                 QStringLiteral("491265804.58"), QStringLiteral("982531609.16")})
        EXPECT_TRUE(text.contains(whole)) << whole.toStdString() << "\n" << text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Engines, DeletedOrders, ::testing::ValuesIn(dbtest::allBackends()),
                         dbtest::backendName);

} // namespace
} // namespace vx::report::test
