#pragma once
// What every fuzz target shares: the input as text, a quiet message service, and a folder of
// its own for the files a parser reads (program folder, settings, INI files).

#include "platform/messages.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

namespace vx::fuzz {

inline QByteArray bytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

inline QString text(const std::uint8_t* data, std::size_t size) {
    return QString::fromUtf8(bytes(data, size));
}

// Answers every box with its first button, silently: a fuzzer must not flood its output.
class QuietMessages : public MessageService {
  public:
    MsgAnswer message(const QString&, MsgButtons buttons, MsgIcon, const QString&) override {
        return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgAnswer::No
                                                                                  : MsgAnswer::Ok;
    }
    QString input(const QString&, const QString&, const QString&) override { return {}; }
};

// Sets up, once per process: the quiet messages, and HOME, XDG_CONFIG_HOME and JOV_PROGRAM_DIR in
// a fresh temporary folder, whose path is returned.
QString setUpOnce();

// Writes `content` into `path`, replacing it.
void writeFile(const QString& path, const QByteArray& content);

} // namespace vx::fuzz
