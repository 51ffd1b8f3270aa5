#include "platform/terminal.h"

#include <unistd.h>

namespace vx {

EchoOff::EchoOff(FILE* in, bool wanted) : fd_(fileno(in)) {
    active_ = wanted && ::isatty(fd_) && ::tcgetattr(fd_, &saved_) == 0;
    if (active_) {
        termios quiet = saved_;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(fd_, TCSANOW, &quiet);
    }
}

EchoOff::~EchoOff() {
    if (active_)
        ::tcsetattr(fd_, TCSANOW, &saved_);
}

std::optional<QString> readLine(FILE* in) {
    QByteArray line;
    int c;
    while ((c = std::fgetc(in)) != EOF && c != '\n')
        line += static_cast<char>(c);
    if (c == EOF && line.isEmpty())
        return std::nullopt;
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

std::optional<QString> readSecretLine(FILE* in, FILE* promptOut, const QString& prompt) {
    // The echo goes off before the prompt shows, so nothing typed after it is echoed.
    const EchoOff quiet(in, true);
    if (quiet.active()) {
        std::fputs(prompt.toUtf8().constData(), promptOut);
        std::fflush(promptOut);
    }
    const std::optional<QString> line = readLine(in);
    if (quiet.active()) {
        std::fputc('\n', promptOut);
        std::fflush(promptOut);
    }
    return line;
}

} // namespace vx
