#include "platform/messages.h"

#include "version.h"

#include <cstdio>

namespace vx {

namespace {
BatchMessageService& defaultService() {
    static BatchMessageService service;
    return service;
}
MessageService* g_service = nullptr;

QString withNewlines(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}
} // namespace

QString productName() {
    return QStringLiteral("Vantrex Report");
}
QString productVersion() {
    return QStringLiteral(VANTREX_VERSION);
}

MessageService& messageService() {
    return g_service ? *g_service : defaultService();
}
void setMessageService(MessageService* service) {
    g_service = service;
}

MsgAnswer MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) {
    return messageService().message(text, buttons, icon, title.isEmpty() ? productName() : title);
}

QString InputBox(const QString& prompt, const QString& title, const QString& def) {
    return messageService().input(prompt, title.isEmpty() ? productName() : title, def);
}

void BatchMessageService::write(const QString& block) {
    const QByteArray bytes = block.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), out_);
    std::fflush(out_);
}

MsgAnswer BatchMessageService::message(const QString& text, MsgButtons buttons, MsgIcon,
                                       const QString& title) {
    QString block = title + QStringLiteral(": ") + withNewlines(text) + u'\n';
    MsgAnswer answer = MsgAnswer::Ok;
    switch (buttons) {
    case MsgButtons::Ok:
        break;
    case MsgButtons::OkCancel:
        answer = yes_ ? MsgAnswer::Ok : MsgAnswer::Cancel;
        break;
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel:
        answer = yes_ ? MsgAnswer::Yes : MsgAnswer::No;
        break;
    case MsgButtons::RetryCancel:
        answer = yes_ ? MsgAnswer::Retry : MsgAnswer::Cancel;
        break;
    }
    if (buttons != MsgButtons::Ok) {
        static const char* const names[] = {"OK", "Cancel", "Yes", "No", "Retry"};
        block += QStringLiteral("-> ") + QLatin1String(names[static_cast<int>(answer)]) + u'\n';
    }
    write(block);
    return answer;
}

QString BatchMessageService::input(const QString& prompt, const QString& title,
                                   const QString& def) {
    // Nobody can type in a batch run: with --yes the proposed text is taken, otherwise the box
    // counts as cancelled.
    const QString answer = yes_ ? def : QString();
    write(title + QStringLiteral(": ") + withNewlines(prompt) + QStringLiteral("\n-> ") +
          (yes_ ? answer : QStringLiteral("(cancelled)")) + u'\n');
    return answer;
}

} // namespace vx

namespace vx {
bool AskYesNo(const QString& line1, const QString& line2) {
    return MsgBox(line1 + QStringLiteral("\r\r") + line2, MsgButtons::YesNo, MsgIcon::Question) ==
           MsgAnswer::Yes;
}
} // namespace vx
