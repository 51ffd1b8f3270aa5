// The time limit on a server's answers, on real sockets: a wait that reaches it is ended by
// shutting down the watched sockets, and only those.
#include "db/server_watch.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vx::db {
namespace {

// A connected pair of sockets whose far end never says a word.
struct SilentPeer {
    int fds[2] = {-1, -1};
    SilentPeer() { socketpair(AF_UNIX, SOCK_STREAM, 0, fds); }
    ~SilentPeer() {
        ::close(fds[0]);
        ::close(fds[1]);
    }
    int near() const { return fds[0]; }
};

class ServerWatchTest : public ::testing::Test {
  protected:
    void SetUp() override { resetServerWatch(400); }
    void TearDown() override { resetServerWatch(); }
};

TEST_F(ServerWatchTest, AWaitAtTheLimitIsEndedAndTheFailureKept) {
    SilentPeer peer;
    const SocketList before = openSockets();
    SilentPeer watched;
    watchSocketsOpenedSince(before); // the pair opened since: `watched`, not `peer`
    QElapsedTimer clock;
    clock.start();
    char byte = 0;
    ssize_t got = -1;
    {
        const ServerWait wait;
        got = ::recv(watched.near(), &byte, 1, 0);
    }
    EXPECT_EQ(got, 0); // shut down: the blocked read ends as at the end of the stream
    EXPECT_GE(clock.elapsed(), 300);
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_TRUE(serverStoppedAnswering());

    // The socket that was not watched still works.
    ASSERT_EQ(::send(peer.fds[1], "x", 1, 0), 1);
    EXPECT_EQ(::recv(peer.near(), &byte, 1, 0), 1);

    const DbError e = serverFailure(QStringLiteral("SHOPPC,1433"), false,
                                    DbError{7, QStringLiteral("read failed")});
    EXPECT_EQ(e.description, QStringLiteral("The database server SHOPPC,1433 stopped answering: "
                                            "it gave no answer within 1 seconds."));
    EXPECT_EQ(serverLossState().gsServerLoss, e.description);
    // The first failure is the one the run ends on.
    serverFailure(QStringLiteral("other"), true, DbError{});
    EXPECT_EQ(serverLossState().gsServerLoss, e.description);
}

TEST_F(ServerWatchTest, ShortWaitsAndOtherFailuresAreNotStoppedServers) {
    SilentPeer watched;
    watchSocket(watched.near());
    for (int i = 0; i < 8; ++i) { // waits that end in time, each shorter than the limit
        const ServerWait wait;
        const ServerWait nested; // the outermost wait counts
        ::usleep(100 * 1000);
    }
    EXPECT_FALSE(serverStoppedAnswering());
    const DbError plain{3078, QStringLiteral("Invalid object name 'x'.")};
    EXPECT_EQ(serverFailure(QStringLiteral("s"), false, plain).number, 3078);
    EXPECT_TRUE(serverLossState().gsServerLoss.isEmpty());
    const DbError lost =
        serverFailure(QStringLiteral("postgresql://h:5432"), true,
                      DbError{1, QStringLiteral("server closed the connection unexpectedly")});
    EXPECT_EQ(lost.description, QStringLiteral("The connection to the database server "
                                               "postgresql://h:5432 was lost: server closed the "
                                               "connection unexpectedly"));
    EXPECT_EQ(serverLossState().gsServerLoss, lost.description);
    // A watched descriptor closed and reused by another socket is not the server's any more.
    ::close(watched.fds[0]);
    int other[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, other), 0);
    watched.fds[0] = -1;
    resetServerWatch(300);
    {
        const ServerWait wait;
        ::usleep(700 * 1000);
    }
    EXPECT_TRUE(serverStoppedAnswering());
    char byte = 0;
    ASSERT_EQ(::send(other[1], "y", 1, 0), 1);
    EXPECT_EQ(::recv(other[0], &byte, 1, 0), 1);
    ::close(other[0]);
    ::close(other[1]);
}

// A driver that goes on waiting on a socket the watch does not know: the process ends with the
// message, exit status 2, rather than hang.
TEST_F(ServerWatchTest, AWaitThatDoesNotEndEndsTheProcess) {
    // A forked child would have no watch thread: the test runs in a process of its own.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            resetServerWatch(300);
            serverFailure(QStringLiteral("SHOPPC"), true, DbError{1, QStringLiteral("gone")});
            SilentPeer unknown;
            const ServerWait wait;
            char byte = 0;
            ::recv(unknown.near(), &byte, 1, 0);
        },
        ::testing::ExitedWithCode(2), "JOV MSDE: The connection to the database server SHOPPC");
}

} // namespace
} // namespace vx::db
