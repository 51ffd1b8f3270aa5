#include "datapath/network_check.h"

#include "datapath/testing/datapath_testing.h"
#include "platform/messages.h"
#include "platform/runtime.h"

#include <QDir>
#include <deque>
#include <functional>
#include <vector>

namespace vx {
namespace {

const QString kRetry =
    QStringLiteral("Server not found. Check Server and Network Connections.\r\n Retry?");

class NetworkCheckTest : public test::DataPathTest {
  protected:
    NetworkCheckTest() {
        setBatchRetryPause([this](int ms) { pauses.push_back(ms); });
    }
    ~NetworkCheckTest() override {
        setBatchRetryPause({});
        runtimeOptions() = saved_;
    }
    void setDataPath(const QString& path) { gDataPath().setDataPath(path); }
    std::vector<int> pauses;

  private:
    RuntimeOptions saved_ = runtimeOptions();
};

// Answers each question in turn, running the matching step first (the network coming back).
class StepMessages : public MessageService {
  public:
    StepMessages() { setMessageService(this); }
    ~StepMessages() override { setMessageService(nullptr); }
    void then(MsgAnswer answer, std::function<void()> before = {}) {
        steps_.push_back({answer, std::move(before)});
    }
    MsgAnswer message(const QString& text, MsgButtons, MsgIcon, const QString&) override {
        texts << text;
        if (steps_.empty())
            return MsgAnswer::No;
        auto [answer, before] = std::move(steps_.front());
        steps_.pop_front();
        if (before)
            before();
        return answer;
    }
    QString input(const QString&, const QString&, const QString& def) override { return def; }
    QStringList texts;

  private:
    std::deque<std::pair<MsgAnswer, std::function<void()>>> steps_;
};

TEST_F(NetworkCheckTest, ReachablePathPassesSilently) {
    setDataPath(winDir(QStringLiteral("TK")));
    EXPECT_TRUE(gfbNetworkCheck());
    EXPECT_TRUE(msgs.boxes().isEmpty());
    EXPECT_FALSE(safeStubState().gbLocalMode);
}

TEST_F(NetworkCheckTest, UnreachablePathAsksUntilNo) {
    setDataPath(QStringLiteral("C:\\Server\\TK"));
    msgs.answer(MsgAnswer::Yes);
    msgs.answer(MsgAnswer::No);
    EXPECT_FALSE(gfbNetworkCheck());
    ASSERT_EQ(msgs.boxes().size(), 2);
    for (const RecordedBox& box : msgs.boxes()) {
        EXPECT_EQ(box.text, kRetry);
        EXPECT_EQ(box.title, "Network Error");
        EXPECT_EQ(box.buttons, MsgButtons::YesNo);
        EXPECT_EQ(box.icon, MsgIcon::Question);
    }
    EXPECT_FALSE(safeStubState().gbLocalMode);
}

TEST_F(NetworkCheckTest, RetryPassesOnceTheFolderIsBack) {
    StepMessages steps;
    setDataPath(QStringLiteral("C:\\Server\\TK"));
    steps.then(MsgAnswer::Yes);
    steps.then(MsgAnswer::Yes, [&] { winDir(QStringLiteral("Server/TK")); });
    EXPECT_TRUE(gfbNetworkCheck());
    EXPECT_EQ(steps.texts, (QStringList{kRetry, kRetry}));
}

TEST_F(NetworkCheckTest, ABatchRunRetriesThreeTimesTwoSecondsApartThenGivesUp) {
    setDataPath(QStringLiteral("C:\\Server\\TK"));
    const struct {
        bool batch;
        int questions;
        std::vector<int> pauses;
    } cases[] = {
        {true, 4, {2000, 2000, 2000}}, // "Yes" given in advance: not for ever
        {false, 7, {}},                // a user answers each question: Yes six times, then No
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.batch);
        runtimeOptions().batch = c.batch;
        pauses.clear();
        StepMessages steps;
        for (int i = 0; i < 6; ++i)
            steps.then(MsgAnswer::Yes);
        EXPECT_FALSE(gfbNetworkCheck());
        EXPECT_EQ(steps.texts.size(), c.questions);
        EXPECT_EQ(pauses, c.pauses);
    }
}

TEST_F(NetworkCheckTest, MissingSafeCopyAsDataPathSwitchesToLocalMode) {
    setDataPath(QStringLiteral("C:\\jovsafe"));
    EXPECT_TRUE(gfbNetworkCheck());
    EXPECT_TRUE(msgs.boxes().isEmpty());
    EXPECT_TRUE(safeStubState().gbLocalMode);

    // Local mode stays on: an unreachable path is no longer checked.
    setDataPath(QStringLiteral("C:\\Server\\TK"));
    EXPECT_TRUE(gfbNetworkCheck());
    EXPECT_TRUE(msgs.boxes().isEmpty());
}

TEST_F(NetworkCheckTest, OnlyTheSafeCopyItselfSwitchesToLocalMode) {
    for (const char* path : {"C:\\jovsafe\\sub", "C:\\jovsafe2", "D:\\jovsafe"}) {
        SCOPED_TRACE(path);
        msgs.clear();
        setDataPath(QLatin1String(path));
        EXPECT_FALSE(gfbNetworkCheck());
        EXPECT_EQ(msgs.texts(), QStringList{kRetry});
        EXPECT_FALSE(safeStubState().gbLocalMode);
    }
    // A present safe copy is simply found.
    setDataPath(winDir(QStringLiteral("jovsafe")));
    EXPECT_TRUE(gfbNetworkCheck());
    EXPECT_FALSE(safeStubState().gbLocalMode);
}

} // namespace
} // namespace vx
