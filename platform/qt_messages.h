#pragma once
// Message and input boxes as Qt dialogs, for runs with a display.

#include "platform/messages.h"

namespace vx {

class QtMessageService : public MessageService {
  public:
    MsgAnswer message(const QString& text, MsgButtons buttons, MsgIcon icon,
                      const QString& title) override;
    QString input(const QString& prompt, const QString& title, const QString& def) override;
};

} // namespace vx
