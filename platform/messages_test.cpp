#include "platform/messages.h"
#include "testsupport/scripted_messages.h"

#include <QFile>
#include <cstdio>
#include <gtest/gtest.h>
#include <tuple>

using namespace vx;

namespace {
// What a batch service answering `yes` writes while `boxes` runs with it installed.
QString batchText(bool yes, const std::function<void()>& boxes) {
    FILE* file = std::tmpfile();
    BatchMessageService service(yes, file);
    setMessageService(&service);
    boxes();
    setMessageService(nullptr);
    std::rewind(file);
    QFile in;
    in.open(file, QIODevice::ReadOnly);
    const QString text = QString::fromUtf8(in.readAll());
    std::fclose(file);
    return text;
}
} // namespace

// A batch run writes one block per box and answers questions with the configured answer.
TEST(Messages, BatchWritesOneBlockPerBox) {
    const std::tuple<bool, MsgButtons, MsgAnswer, const char*> cases[] = {
        {true, MsgButtons::Ok, MsgAnswer::Ok, ""},
        {false, MsgButtons::YesNoCancel, MsgAnswer::No, "-> No\n"},
        {true, MsgButtons::OkCancel, MsgAnswer::Ok, "-> OK\n"},
        {true, MsgButtons::RetryCancel, MsgAnswer::Retry, "-> Retry\n"}};
    for (const auto& [yes, buttons, expected, answerLine] : cases) {
        MsgAnswer answer{};
        const QString text = batchText(
            yes, [&] { answer = MsgBox("a\rb\r\nc\r\rd", buttons, MsgIcon::Question, "T"); });
        EXPECT_EQ(answer, expected) << answerLine;
        EXPECT_EQ(text, "T: a\nb\nc\n\nd\n" + QLatin1String(answerLine));
    }
    // Boxes without a title get the product's; an input box takes its proposal only with yes.
    EXPECT_EQ(batchText(false, [] { EXPECT_FALSE(AskYesNo("First", "Second")); }),
              "Vantrex Report: First\n\nSecond\n-> No\n");
    EXPECT_EQ(batchText(false, [] { EXPECT_EQ(InputBox("Name?", {}, "Bob"), ""); }),
              "Vantrex Report: Name?\n-> (cancelled)\n");
    EXPECT_EQ(batchText(true, [] { EXPECT_EQ(InputBox("Name?\rFull", "T", "Bob"), "Bob"); }),
              "T: Name?\nFull\n-> Bob\n");
}

// The scripted service other tests answer boxes with: queued answers, then declines.
TEST(Messages, ScriptedServiceRecordsAndAnswersFromItsQueue) {
    {
        ScopedScriptedMessages boxes;
        boxes.answer(MsgAnswer::Retry);
        boxes.type("typed");
        EXPECT_EQ(MsgBox("info"), MsgAnswer::Ok); // a plain box takes no queued answer
        EXPECT_EQ(MsgBox("again", MsgButtons::RetryCancel), MsgAnswer::Retry);
        EXPECT_EQ(InputBox("name", {}, "def"), "typed");
        // Then questions are declined: No where there is one, else Cancel.
        EXPECT_EQ(MsgBox("q", MsgButtons::YesNoCancel, MsgIcon::Question, "T"), MsgAnswer::No);
        EXPECT_EQ(MsgBox("q", MsgButtons::OkCancel), MsgAnswer::Cancel);
        EXPECT_EQ(InputBox("name", {}, "def"), "def");
        EXPECT_EQ(boxes.texts(), QStringList({"info", "again", "name", "q", "q", "name"}));
        EXPECT_EQ(boxes.boxes()[3].title, "T");
        EXPECT_EQ(boxes.boxes()[3].icon, MsgIcon::Question);
    }
    EXPECT_NE(dynamic_cast<BatchMessageService*>(&messageService()), nullptr); // restored
}
