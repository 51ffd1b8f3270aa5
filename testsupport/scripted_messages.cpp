#include "testsupport/scripted_messages.h"

namespace vx {

MsgAnswer ScriptedMessageService::message(const QString& text, MsgButtons buttons, MsgIcon icon,
                                          const QString& title) {
    boxes_.append({text, buttons, icon, title, false});
    if (buttons == MsgButtons::Ok)
        return MsgAnswer::Ok;
    if (answers_.empty()) // an unscripted question is declined
        return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel
                   ? MsgAnswer::No
                   : MsgAnswer::Cancel;
    const MsgAnswer a = answers_.front();
    answers_.pop_front();
    return a;
}

QString ScriptedMessageService::input(const QString& prompt, const QString& title,
                                      const QString& def) {
    boxes_.append({prompt, MsgButtons::OkCancel, MsgIcon::None, title, true});
    if (inputs_.empty())
        return def;
    const QString t = inputs_.front();
    inputs_.pop_front();
    return t;
}

QStringList ScriptedMessageService::texts() const {
    QStringList out;
    for (const RecordedBox& b : boxes_)
        out << b.text;
    return out;
}

} // namespace vx
