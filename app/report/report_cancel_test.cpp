// Cancelling a report from its progress display, on both engines: the run stops where it is,
// drops its document, unloads the preview and lets a direct run end; no message is shown.
#include "app/report/testing/report_fixture.h"
#include "output/progress.h"
#include "platform/runtime.h"
#include "runstate/runstate.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace vx::report::test {
namespace {

// A progress display whose user presses cancel as soon as it appears.
struct CancellingView : output::ProgressView {
    void show(const QString& processing, std::int64_t) override {
        seen << processing;
        QTimer::singleShot(0, [] { output::reportProgress().gbCancelReport = true; });
    }
    void close() override { ++closes; }
    QStringList seen;
    int closes = 0;
};

class ReportCancel : public ReportDb {
  protected:
    void SetUp() override {
        ReportDb::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        env_.setEnv("LC_ALL", QStringLiteral("C"));
        openStore();
        runState().gsStartDate = QStringLiteral("1/1/2024");
        runState().gsEndDate = QStringLiteral("12/31/2024");
        runtimeOptions().batch = false; // the pump really runs events
        output::setProgressTiming(0, 0);
        output::setProgressView(&view);
    }
    void TearDown() override {
        output::setProgressView(nullptr);
        output::setProgressTiming(500, 100);
        runtimeOptions().batch = true;
        ReportDb::TearDown();
    }
    CancellingView view;
};

TEST_P(ReportCancel, ACancelledRunDropsItsDocument) {
    addVendor("V1", "Acme Supply");
    // 1000 history rows of 250 orders: the loader offers its first progress after 1000 rows.
    for (int i = 0; i < 1000; ++i) {
        const QByteArray po = "P" + QByteArray::number(i / 4);
        addHistory({po.constData(), "V1", "20240301", 1, 1, 10000});
    }
    addHeader({"P1", "VP1", "V1", "X", "20240110", "", "", "BOB", "20240102"});
    addHeader({"P2", "VP2", "V1", "X", "20240111", "", "", "BOB", "20240102"});

    struct Case {
        bool deleted;
        const char* step;
    };
    for (const Case c : {Case{false, "Processing"}, Case{true, "Printing"}}) {
        SCOPED_TRACE(c.step);
        runState().gbShowDeleted = c.deleted;
        runState().gbPreviewDone = false;
        host.unloads = 0;
        view.seen.clear();
        gpRunReport();
        EXPECT_EQ(view.seen, QStringList{QString::fromLatin1(c.step)});
        EXPECT_TRUE(host.doc.abandoned());
        EXPECT_FALSE(host.doc.ended()) << "an abandoned document is not ended";
        EXPECT_EQ(host.unloads, 1);
        EXPECT_TRUE(runState().gbPreviewDone);
        EXPECT_TRUE(boxes.boxes().isEmpty()) << boxes.texts().join(u'\n').toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, ReportCancel, ::testing::ValuesIn(dbtest::allBackends()),
                         dbtest::backendName);

} // namespace
} // namespace vx::report::test
