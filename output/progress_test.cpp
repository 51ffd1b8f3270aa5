// The report's cancel flag, which sticks once seen, and the progress display shown when slow.
#include "output/progress.h"

#include "platform/runtime.h"

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>

namespace vx::output {
namespace {

struct FakeView : ProgressView {
    void show(const QString& processing, std::int64_t count) override {
        shown << processing + u' ' + QString::number(count);
    }
    void close() override { ++closes; }
    QStringList shown;
    int closes = 0;
};

class Progress : public ::testing::Test {
  protected:
    void SetUp() override {
        runtimeOptions().batch = false; // events really run
        resetReportProgress();
        setProgressView(&view);
    }
    void TearDown() override {
        setProgressView(nullptr);
        setProgressTiming(500, 100);
        resetReportProgress();
        runtimeOptions().batch = true;
    }
    FakeView view;
};

TEST_F(Progress, ACancelRequestIsSeenOnlyWhenItArrivesDuringThePump) {
    reportProgress().gbCancelReport = true; // an old request: the pump clears it
    EXPECT_FALSE(gfbReportCancelled());

    QTimer::singleShot(0, [] { reportProgress().gbCancelReport = true; });
    EXPECT_TRUE(gfbReportCancelled());
    EXPECT_TRUE(gfbReportCancelled()) << "once seen, the run stays cancelled";
    resetReportProgress();
    EXPECT_FALSE(gfbReportCancelled());
}

TEST_F(Progress, TheDisplayWaitsUntilTheReportHasBeenBusyAndClosesWhatItShowed) {
    setProgressTiming(60'000, 0);
    gpShowProgress(QStringLiteral("Processing"), 1000);
    gpCloseProgress();
    EXPECT_TRUE(view.shown.isEmpty());
    EXPECT_EQ(view.closes, 0);

    setProgressTiming(0, 60'000);
    gpShowProgress(QStringLiteral("Processing"), 1000);
    gpShowProgress(QStringLiteral("Processing"), 2000); // too soon after the first
    EXPECT_EQ(view.shown, QStringList{QStringLiteral("Processing 1000")});
    gpCloseProgress();
    gpCloseProgress();
    EXPECT_EQ(view.closes, 1);
}

} // namespace
} // namespace vx::output
