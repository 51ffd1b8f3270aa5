#pragma once
// Stand-ins on the loopback network for what a SQL Server login meets: a TCP port that accepts
// and never answers, one that accepts and hangs up at once, and a SQL Browser that answers (or
// not) on a UDP port of its own.

#include <QByteArray>
#include <arpa/inet.h>
#include <atomic>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace vx::dbtest {

class FakePeer {
  public:
    enum class Kind {
        SilentTcp,  // accepts connections (the kernel does) and never says a word
        HangUpTcp,  // accepts each connection and closes it at once
        BrowserUdp, // answers each request with `answer` (nothing when it is empty)
    };
    explicit FakePeer(Kind kind, QByteArray answer = {}) : kind_(kind), answer_(std::move(answer)) {
        fd_ = ::socket(AF_INET, kind == Kind::BrowserUdp ? SOCK_DGRAM : SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        if (kind != Kind::BrowserUdp)
            ::listen(fd_, 16);
        if (kind != Kind::SilentTcp)
            thread_ = std::thread([this] { serve(); });
    }
    ~FakePeer() {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        ::close(fd_);
    }
    FakePeer(const FakePeer&) = delete;
    FakePeer& operator=(const FakePeer&) = delete;

    quint16 port() const { return port_; }
    int requests() const { return requests_; }

  private:
    void serve() {
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            ++requests_;
            if (kind_ == Kind::HangUpTcp) {
                if (const int client = ::accept(fd_, nullptr, nullptr); client >= 0)
                    ::close(client);
                continue;
            }
            char request[512];
            sockaddr_in from{};
            socklen_t length = sizeof from;
            const auto got = ::recvfrom(fd_, request, sizeof request, 0,
                                        reinterpret_cast<sockaddr*>(&from), &length);
            if (got > 0 && !answer_.isEmpty())
                ::sendto(fd_, answer_.constData(), size_t(answer_.size()), 0,
                         reinterpret_cast<sockaddr*>(&from), length);
        }
    }

    Kind kind_;
    QByteArray answer_;
    int fd_ = -1;
    quint16 port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> requests_{0};
    std::thread thread_;
};

} // namespace vx::dbtest
