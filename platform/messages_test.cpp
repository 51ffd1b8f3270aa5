#include "platform/messages.h"
#include "platform/scripted_messages.h"

#include <QRegularExpression>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

using namespace vx;

namespace {

// A batch service writing into a temporary file whose text the test reads back.
class BatchCapture {
  public:
    explicit BatchCapture(bool yes)
        : file_(std::tmpfile(), &std::fclose), service_(yes, file_.get()) {}
    BatchMessageService& service() { return service_; }
    QString text() {
        std::fflush(file_.get());
        std::rewind(file_.get());
        QByteArray bytes;
        char buf[512];
        size_t n = 0;
        while ((n = std::fread(buf, 1, sizeof buf, file_.get())) > 0)
            bytes.append(buf, static_cast<qsizetype>(n));
        return QString::fromUtf8(bytes);
    }

  private:
    std::unique_ptr<FILE, int (*)(FILE*)> file_;
    BatchMessageService service_;
};

} // namespace

TEST(Messages, BatchWritesOneBlockPerBox) {
    struct Case {
        bool yes;
        MsgButtons buttons;
        const char* text;
        MsgAnswer answer;
        const char* written;
    } cases[] = {
        {false, MsgButtons::Ok, "Done", MsgAnswer::Ok, "T: Done\n"},
        {true, MsgButtons::Ok, "Done", MsgAnswer::Ok, "T: Done\n"},
        {false, MsgButtons::Ok, "one\rtwo\r\nthree\r\rfive", MsgAnswer::Ok,
         "T: one\ntwo\nthree\n\nfive\n"},
        {false, MsgButtons::YesNo, "Go on?", MsgAnswer::No, "T: Go on?\n-> No\n"},
        {true, MsgButtons::YesNo, "Go on?", MsgAnswer::Yes, "T: Go on?\n-> Yes\n"},
        {false, MsgButtons::YesNoCancel, "Save?", MsgAnswer::No, "T: Save?\n-> No\n"},
        {true, MsgButtons::YesNoCancel, "Save?", MsgAnswer::Yes, "T: Save?\n-> Yes\n"},
        {false, MsgButtons::OkCancel, "Print?", MsgAnswer::Cancel, "T: Print?\n-> Cancel\n"},
        {true, MsgButtons::OkCancel, "Print?", MsgAnswer::Ok, "T: Print?\n-> OK\n"},
        {false, MsgButtons::RetryCancel, "Again?", MsgAnswer::Cancel, "T: Again?\n-> Cancel\n"},
        {true, MsgButtons::RetryCancel, "Again?", MsgAnswer::Retry, "T: Again?\n-> Retry\n"},
    };
    for (const Case& c : cases) {
        BatchCapture out(c.yes);
        EXPECT_EQ(out.service().message(c.text, c.buttons, MsgIcon::Question, "T"), c.answer)
            << c.text;
        EXPECT_EQ(out.text(), c.written);
    }
}

TEST(Messages, BatchInputTakesTheProposalOnlyWithYes) {
    BatchCapture no(false);
    EXPECT_EQ(no.service().input("Name?", "T", "Bob"), "");
    EXPECT_EQ(no.text(), "T: Name?\n-> (cancelled)\n");
    BatchCapture yes(true);
    EXPECT_EQ(yes.service().input("Name?\rFull", "T", "Bob"), "Bob");
    EXPECT_EQ(yes.text(), "T: Name?\nFull\n-> Bob\n");
}

TEST(Messages, InstalledServiceGetsTheBoxesWithTitles) {
    BatchCapture out(false);
    setMessageService(&out.service());
    MsgBox("Plain");
    MsgBox("Own title", MsgButtons::Ok, MsgIcon::Critical, "INI Class");
    InputBox("Prompt");
    EXPECT_FALSE(AskYesNo("First", "Second"));
    setMessageService(nullptr);
    EXPECT_EQ(out.text(), "Vantrex Report: Plain\n"
                          "INI Class: Own title\n"
                          "Vantrex Report: Prompt\n-> (cancelled)\n"
                          "Vantrex Report: First\n\nSecond\n-> No\n");
    EXPECT_EQ(productName(), "Vantrex Report");
    EXPECT_TRUE(productVersion().contains(QRegularExpression("^\\d+\\.\\d+\\.\\d+$")));
}

TEST(Messages, ScriptedServiceRecordsAndAnswersFromItsQueue) {
    ScopedScriptedMessages boxes;
    boxes.answer(MsgAnswer::Yes);
    boxes.answer(MsgAnswer::Retry);
    boxes.type("typed");

    EXPECT_EQ(MsgBox("info"), MsgAnswer::Ok); // a plain box takes no queued answer
    EXPECT_TRUE(AskYesNo("a", "b"));
    EXPECT_EQ(MsgBox("again", MsgButtons::RetryCancel), MsgAnswer::Retry);
    EXPECT_EQ(InputBox("name", {}, "def"), "typed");
    EXPECT_EQ(boxes.pendingAnswers(), 0u);
    // An empty queue declines questions and takes an input box's proposal.
    EXPECT_EQ(MsgBox("q", MsgButtons::YesNoCancel), MsgAnswer::No);
    EXPECT_EQ(MsgBox("q", MsgButtons::OkCancel), MsgAnswer::Cancel);
    EXPECT_EQ(InputBox("name", {}, "def"), "def");

    ASSERT_EQ(boxes.boxes().size(), 7);
    const RecordedBox& ask = boxes.boxes()[1];
    EXPECT_EQ(ask.text, "a\r\rb");
    EXPECT_EQ(ask.buttons, MsgButtons::YesNo);
    EXPECT_EQ(ask.icon, MsgIcon::Question);
    EXPECT_EQ(ask.title, "Vantrex Report");
    EXPECT_TRUE(boxes.boxes()[3].isInput);
    EXPECT_EQ(boxes.texts().first(), "info");

    boxes.answer(MsgAnswer::Yes);
    boxes.clear();
    EXPECT_TRUE(boxes.boxes().isEmpty());
    EXPECT_EQ(boxes.pendingAnswers(), 0u);
}

TEST(Messages, ScriptedGuardRestoresTheDefaultService) {
    {
        ScopedScriptedMessages boxes;
        EXPECT_EQ(&messageService(), &boxes);
    }
    EXPECT_NE(dynamic_cast<BatchMessageService*>(&messageService()), nullptr);
}
