#pragma once
// Stand-ins on the loopback network for what a SQL Server login meets: a TCP port that accepts
// and never answers, one that accepts and hangs up at once, and a SQL Browser that answers (or
// not) on a UDP port of its own.

#include <QByteArray>
#include <atomic>
#include <thread>

namespace vx::dbtest {

class FakePeer {
  public:
    enum class Kind {
        SilentTcp,  // accepts connections (the kernel does) and never says a word
        HangUpTcp,  // accepts each connection and closes it at once
        BrowserUdp, // answers each request with `answer` (nothing when it is empty)
    };
    explicit FakePeer(Kind kind, QByteArray answer = {});
    ~FakePeer();
    FakePeer(const FakePeer&) = delete;
    FakePeer& operator=(const FakePeer&) = delete;

    quint16 port() const { return port_; }
    int requests() const { return requests_; }

  private:
    void serve();

    Kind kind_;
    QByteArray answer_;
    int fd_ = -1;
    quint16 port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> requests_{0};
    std::thread thread_;
};

} // namespace vx::dbtest
