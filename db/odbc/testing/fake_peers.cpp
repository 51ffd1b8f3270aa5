#include "db/odbc/testing/fake_peers.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vx::dbtest {

FakePeer::FakePeer(Kind kind, QByteArray answer) : kind_(kind), answer_(std::move(answer)) {
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

FakePeer::~FakePeer() {
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    ::close(fd_);
}

void FakePeer::serve() {
    while (!stop_) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        if (kind_ == Kind::HangUpTcp) {
            const int client = ::accept(fd_, nullptr, nullptr);
            ++requests_;
            if (client >= 0)
                ::close(client);
            continue;
        }
        char request[512];
        sockaddr_in from{};
        socklen_t length = sizeof from;
        if (::recvfrom(fd_, request, sizeof request, 0, reinterpret_cast<sockaddr*>(&from),
                       &length) <= 0)
            continue;
        ++requests_;
        if (!answer_.isEmpty())
            ::sendto(fd_, answer_.constData(), static_cast<size_t>(answer_.size()), 0,
                     reinterpret_cast<sockaddr*>(&from), length);
    }
}

} // namespace vx::dbtest
