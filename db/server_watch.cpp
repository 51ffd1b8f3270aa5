#include "db/server_watch.h"

#include "db/backend_support.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <mutex>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace vx::db {
namespace {

constexpr int kTickMs = 100;
// A driver that does not return when its sockets are shut down gets this long (or the limit,
// when shorter, but at least a second) before the process ends with the message on its own.
constexpr int kLastResortMs = 10000;
constexpr int kExitServerFailed = 2; // the program's exit status of a failed start-up or server

// Set when the watch has gone at the end of the program: connections that close later (static
// objects destroyed after it) wait without it.
constinit std::atomic<bool> watchEnded{false};

class Watch {
  public:
    ~Watch() {
        watchEnded.store(true);
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable())
            thread_.join();
    }

    void start() {
        std::call_once(started_, [this] { thread_ = std::thread([this] { run(); }); });
    }

    void arm() {
        armedAt_.store(tick_.load(std::memory_order_relaxed), std::memory_order_relaxed);
        arms_.fetch_add(1, std::memory_order_relaxed);
    }
    void disarm() { armedAt_.store(-1, std::memory_order_relaxed); }

    void add(int fd, ino_t inode) {
        std::lock_guard lock(mutex_);
        // A descriptor closed since (or reused by another file) is forgotten.
        std::erase_if(sockets_, [](const auto& s) { return !sameSocket(s.first, s.second); });
        sockets_.emplace_back(fd, inode);
    }

    void reset(int limitMs) {
        std::lock_guard lock(mutex_);
        limitTicks_ = std::max(1, limitMs / kTickMs);
        stopped_.store(false);
    }

    int limitSeconds() {
        std::lock_guard lock(mutex_);
        return (limitTicks_ * kTickMs + 999) / 1000;
    }

    bool stopped() const { return stopped_.load(); }

    // The message the last resort writes; kept by the backend that reports the failure first.
    void setLastWords(const QByteArray& text) {
        std::lock_guard lock(mutex_);
        lastWords_ = text;
    }

  private:
    // The limit, within 1 s and kLastResortMs.
    long lastResortTicks() const {
        return std::clamp<long>(limitTicks_, 1000 / kTickMs, kLastResortMs / kTickMs);
    }

    static bool sameSocket(int fd, ino_t inode) {
        struct stat st {};
        return fstat(fd, &st) == 0 && S_ISSOCK(st.st_mode) && st.st_ino == inode;
    }

    void run() {
        std::unique_lock lock(mutex_);
        long firedAt = -1;
        unsigned long firedArm = 0; // the wait that was ended: a later one starts afresh
        while (!stopping_) {
            wake_.wait_for(lock, std::chrono::milliseconds(kTickMs));
            const long now = tick_.fetch_add(1, std::memory_order_relaxed) + 1;
            const unsigned long arm = arms_.load(std::memory_order_relaxed);
            const long armed = armedAt_.load(std::memory_order_relaxed);
            if (armed < 0 || arm != firedArm)
                firedAt = -1;
            if (armed < 0)
                continue;
            if (firedAt < 0 && now - armed >= limitTicks_) {
                firedAt = now;
                firedArm = arm;
                stopped_.store(true);
                // Writing to a shut-down socket must fail, not end the process.
                std::signal(SIGPIPE, SIG_IGN);
                for (const auto& [fd, inode] : sockets_)
                    if (sameSocket(fd, inode))
                        shutdown(fd, SHUT_RDWR);
            } else if (firedAt >= 0 && (now - firedAt) >= lastResortTicks()) {
                const QByteArray text =
                    lastWords_.isEmpty()
                        ? QByteArray("vantrex-report: the database server stopped answering.\n")
                        : lastWords_;
                std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stderr);
                std::fflush(stderr);
                _exit(kExitServerFailed);
            }
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::thread thread_;
    std::once_flag started_;
    bool stopping_ = false;
    std::atomic<long> tick_{0};
    std::atomic<long> armedAt_{-1};
    std::atomic<unsigned long> arms_{0}; // counts the waits begun
    std::atomic<bool> stopped_{false};
    int limitTicks_ = kServerWaitSeconds * 1000 / kTickMs;
    SocketList sockets_;
    QByteArray lastWords_;
};

Watch& watch() {
    static Watch w;
    return w;
}

thread_local int waitDepth = 0;

} // namespace

ServerWait::ServerWait() {
    if (waitDepth++ == 0 && !watchEnded.load()) {
        watch().start();
        watch().arm();
    }
}

ServerWait::~ServerWait() {
    if (--waitDepth == 0 && !watchEnded.load())
        watch().disarm();
}

SocketList openSockets() {
    SocketList out;
    DIR* dir = opendir("/proc/self/fd");
    if (!dir)
        return out;
    const int own = dirfd(dir);
    while (const dirent* e = readdir(dir)) {
        char* end = nullptr;
        const long fd = std::strtol(e->d_name, &end, 10);
        struct stat st {};
        if (end == e->d_name || *end != '\0' || fd == own)
            continue;
        if (fstat(static_cast<int>(fd), &st) == 0 && S_ISSOCK(st.st_mode))
            out.emplace_back(static_cast<int>(fd), st.st_ino);
    }
    closedir(dir);
    return out;
}

void watchSocketsOpenedSince(const SocketList& before) {
    if (watchEnded.load())
        return;
    for (const auto& s : openSockets())
        if (std::find(before.begin(), before.end(), s) == before.end())
            watch().add(s.first, s.second);
}

void watchSocket(int fd) {
    if (watchEnded.load())
        return;
    struct stat st {};
    if (fd >= 0 && fstat(fd, &st) == 0 && S_ISSOCK(st.st_mode))
        watch().add(fd, st.st_ino);
}

ServerLossState& serverLossState() {
    static ServerLossState state;
    return state;
}

void resetServerWatch(int limitMs) {
    watch().reset(limitMs);
    serverLossState() = ServerLossState();
}

bool serverStoppedAnswering() {
    return !watchEnded.load() && watch().stopped();
}

DbError serverFailure(const QString& server, bool connectionLost, const DbError& error) {
    QString text;
    if (serverStoppedAnswering())
        text = QStringLiteral("The database server %1 stopped answering: it gave no answer "
                              "within %2 seconds.")
                   .arg(server)
                   .arg(watch().limitSeconds());
    else if (connectionLost)
        text = QStringLiteral("The connection to the database server %1 was lost: %2")
                   .arg(server, error.description);
    else
        return error;
    ServerLossState& state = serverLossState();
    if (state.gsServerLoss.isEmpty()) {
        state.gsServerLoss = text;
        if (!watchEnded.load())
            watch().setLastWords("JOV MSDE: " + text.toUtf8() + '\n');
    }
    return engineError(text);
}

} // namespace vx::db
