#pragma once
// Reading answers from a terminal or a pipe: one line at a time, and secrets (passwords) without
// echo, so that they stay off command lines, shell histories and the screen.

#include <QString>
#include <cstdio>
#include <optional>
#include <termios.h>

namespace vx {

// Turns the echo of a terminal off for its lifetime; does nothing for other input.
class EchoOff {
  public:
    EchoOff(FILE* in, bool wanted);
    ~EchoOff();
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;
    bool active() const { return active_; }

  private:
    int fd_;
    termios saved_{};
    bool active_ = false;
};

// One line of UTF-8 text without its line end (LF or CR LF); nullopt when the input ends before
// anything was read.
std::optional<QString> readLine(FILE* in);

// Reads one line as a secret, a trailing CR/LF dropped and nothing else changed. When `in` is a
// terminal the typing is not echoed and `prompt` is written to `promptOut` first. nullopt when
// the input ends before anything was read.
std::optional<QString> readSecretLine(FILE* in, FILE* promptOut, const QString& prompt);

} // namespace vx
