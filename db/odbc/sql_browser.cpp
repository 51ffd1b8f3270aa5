#include "db/odbc/sql_browser.h"

#include <QElapsedTimer>
#include <QStringList>

#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vx::db::odbc {

namespace {

class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

struct AddrInfo {
    addrinfo* list = nullptr;
    ~AddrInfo() {
        if (list)
            freeaddrinfo(list);
    }
};

bool resolve(const QString& machine, quint16 port, int socktype, AddrInfo& out) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = socktype;
    return getaddrinfo(machine.toUtf8().constData(), QByteArray::number(port).constData(), &hints,
                       &out.list) == 0 &&
           out.list;
}

int remaining(const QElapsedTimer& clock, int waitMs) {
    return std::max(0, waitMs - static_cast<int>(clock.elapsed()));
}

} // namespace

QString instancePortOf(const QByteArray& answer, const QString& instance) {
    // SVR_RESP: 0x05, a two-byte length, then "key;value;" pairs per instance, ";;" between.
    const QByteArray text = answer.size() > 3 && answer[0] == 0x05 ? answer.mid(3) : answer;
    const QStringList fields = QString::fromLatin1(text).split(u';');
    bool inInstance = false;
    for (qsizetype i = 0; i + 1 < fields.size(); i += 2) {
        const QString& key = fields[i];
        const QString& value = fields[i + 1];
        if (key.isEmpty()) { // ";;" ends one instance's record
            inInstance = false;
            i -= 1;
            continue;
        }
        if (key.compare(QLatin1String("InstanceName"), Qt::CaseInsensitive) == 0)
            inInstance = value.compare(instance, Qt::CaseInsensitive) == 0;
        else if (inInstance && key.compare(QLatin1String("tcp"), Qt::CaseInsensitive) == 0)
            return value.trimmed();
    }
    return QString();
}

BrowserAnswer askSqlBrowser(const QString& machine, const QString& instance, int waitMs,
                            quint16 browserPort) {
    QElapsedTimer clock;
    clock.start();
    AddrInfo addresses;
    if (!resolve(machine, browserPort, SOCK_DGRAM, addresses))
        return {BrowserAnswer::Outcome::UnknownHost, {}};
    const addrinfo* a = addresses.list;
    Fd sock(::socket(a->ai_family, a->ai_socktype, a->ai_protocol));
    if (sock.get() < 0)
        return {};
    // CLNT_UCAST_INST: 0x04 and the instance's name, NUL-terminated.
    const QByteArray request = QByteArray(1, '\x04') + instance.toLocal8Bit() + '\0';
    // The request is sent again each second while the time lasts: UDP may lose it.
    while (remaining(clock, waitMs) > 0) {
        ::sendto(sock.get(), request.constData(), static_cast<size_t>(request.size()), 0,
                 a->ai_addr, a->ai_addrlen);
        pollfd p{sock.get(), POLLIN, 0};
        const int wait = std::min(1000, remaining(clock, waitMs));
        if (::poll(&p, 1, wait) > 0 && (p.revents & POLLIN)) {
            QByteArray answer(65536, '\0');
            const ssize_t n = ::recv(sock.get(), answer.data(), answer.size(), 0);
            if (n <= 0) // ICMP "port unreachable": no SQL Browser there
                return {};
            answer.truncate(n);
            const QString port = instancePortOf(answer, instance);
            return port.isEmpty() ? BrowserAnswer{BrowserAnswer::Outcome::NoTcp, {}}
                                  : BrowserAnswer{BrowserAnswer::Outcome::Port, port};
        }
    }
    return {};
}

Reach probeTcp(const QString& machine, quint16 port, int waitMs) {
    QElapsedTimer clock;
    clock.start();
    AddrInfo addresses;
    if (!resolve(machine, port, SOCK_STREAM, addresses))
        return Reach::UnknownHost;
    Reach result = Reach::NoAnswer;
    for (const addrinfo* a = addresses.list; a; a = a->ai_next) {
        Fd sock(::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK, a->ai_protocol));
        if (sock.get() < 0)
            continue;
        if (::connect(sock.get(), a->ai_addr, a->ai_addrlen) == 0)
            return Reach::Accepts;
        if (errno == ECONNREFUSED) {
            result = Reach::Refused;
            continue;
        }
        if (errno != EINPROGRESS)
            continue;
        pollfd p{sock.get(), POLLOUT, 0};
        if (::poll(&p, 1, remaining(clock, waitMs)) <= 0)
            continue;
        int error = 0;
        socklen_t length = sizeof error;
        ::getsockopt(sock.get(), SOL_SOCKET, SO_ERROR, &error, &length);
        if (error == 0)
            return Reach::Accepts;
        if (error == ECONNREFUSED)
            result = Reach::Refused;
    }
    return result;
}

} // namespace vx::db::odbc
