#pragma once
// The message service: every message box and input box of the program goes through it, so that
// a window, a batch run and a test each answer them in their own way.

#include <QString>
#include <memory>

namespace vx {

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgAnswer { Ok, Cancel, Yes, No, Retry };

// Contract: `message` shows one box and returns the button chosen, always one of `buttons`;
// `input` shows an input box and returns its text, empty when cancelled. A title is never
// empty when it reaches an implementation (callers' empty titles become the product name).
class MessageService {
  public:
    virtual ~MessageService() = default;
    virtual MsgAnswer message(const QString& text, MsgButtons buttons, MsgIcon icon,
                              const QString& title) = 0;
    virtual QString input(const QString& prompt, const QString& title, const QString& def) = 0;
};

// The program's product name, the title of every box that has none of its own.
QString productName();
// "major.minor.revision" of the program.
QString productVersion();

// The service in use. Until one is installed, a batch service (stderr, questions answered No).
MessageService& messageService();
// Installs `service` (the caller keeps it alive while it is installed); nullptr restores the
// default batch service.
void setMessageService(MessageService* service);

// One message box: an empty title means the product name.
MsgAnswer MsgBox(const QString& text, MsgButtons buttons = MsgButtons::Ok,
                 MsgIcon icon = MsgIcon::None, const QString& title = {});
// One input box: an empty title means the product name.
QString InputBox(const QString& prompt, const QString& title = {}, const QString& def = {});

// Writes every box to a stream as "<title>: <text>" (line breaks as newlines); questions get the
// configured answer, written after them as "-> Yes" / "-> No".
class BatchMessageService : public MessageService {
  public:
    explicit BatchMessageService(bool answerYes = false, FILE* out = stderr)
        : yes_(answerYes), out_(out) {}
    MsgAnswer message(const QString& text, MsgButtons buttons, MsgIcon icon,
                      const QString& title) override;
    QString input(const QString& prompt, const QString& title, const QString& def) override;

  private:
    void write(const QString& block);
    bool yes_;
    FILE* out_;
};

} // namespace vx

namespace vx {
// The program's shared yes/no question: line1, CR, CR, line2, with Yes and No buttons and the
// question icon, titled with the product name. True for Yes.
bool AskYesNo(const QString& line1, const QString& line2);
} // namespace vx
