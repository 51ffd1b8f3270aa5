#pragma once
// A message service for tests: records every box and answers from a queue.

#include "platform/messages.h"

#include <QList>
#include <QStringList>
#include <deque>

namespace vx {

struct RecordedBox {
    QString text;
    MsgButtons buttons;
    MsgIcon icon;
    QString title;
    bool isInput = false;
};

class ScriptedMessageService : public MessageService {
  public:
    // Queues the answer of the next box that is not a plain OK box.
    void answer(MsgAnswer a) { answers_.push_back(a); }
    // Queues the text of the next input box.
    void type(const QString& text) { inputs_.push_back(text); }

    MsgAnswer message(const QString& text, MsgButtons buttons, MsgIcon icon,
                      const QString& title) override;
    QString input(const QString& prompt, const QString& title, const QString& def) override;

    const QList<RecordedBox>& boxes() const { return boxes_; }
    QStringList texts() const;
    // Answers queued but never asked for.
    size_t pendingAnswers() const { return answers_.size() + inputs_.size(); }
    void clear() {
        boxes_.clear();
        answers_.clear();
        inputs_.clear();
    }

  private:
    QList<RecordedBox> boxes_;
    std::deque<MsgAnswer> answers_;
    std::deque<QString> inputs_;
};

// Installs a scripted service for the lifetime of the guard.
class ScopedScriptedMessages : public ScriptedMessageService {
  public:
    ScopedScriptedMessages() { setMessageService(this); }
    ~ScopedScriptedMessages() override { setMessageService(nullptr); }
};

} // namespace vx
