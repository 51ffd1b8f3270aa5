#pragma once
// Time limits on a database server's answers. Every call that waits for a server (a login, a
// statement, a fetch, closing a cursor) runs inside a ServerWait. When one wait reaches the
// limit, a watch thread ends it: it shuts down the sockets of the database connections, so the
// driver's blocked call returns with an error at once, and the layer remembers that the server
// stopped answering. A backend then reports its failure through serverFailure(), which also
// keeps what the run ends on: a server that stopped answering or a connection that was lost.
//
// Waits are counted in ticks of the watch thread, so that arming one costs two stores, not a
// clock read: the report's fetch loop arms one per row.

#include "db/engine.h"

#include <QString>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace vx::db {

// No login, statement or fetch waits longer than this for a server that has stopped answering.
inline constexpr int kServerWaitSeconds = 30;

// Marks the current thread as waiting for a server until destroyed. Waits nest; the outermost
// one counts.
class ServerWait {
  public:
    ServerWait();
    ~ServerWait();
    ServerWait(const ServerWait&) = delete;
    ServerWait& operator=(const ServerWait&) = delete;
};

// The stream sockets the process has open: (descriptor, inode).
using SocketList = std::vector<std::pair<int, ino_t>>;
SocketList openSockets();
// Adds the sockets opened since `before` to those a stopped wait shuts down (a driver that
// gives no access to its socket: the ones its login opened).
void watchSocketsOpenedSince(const SocketList& before);
// Adds one socket (a connection whose library names it).
void watchSocket(int fd);

// What the run ends on once a server has failed it; empty texts while nothing failed.
struct ServerLossState {
    QString gsServerLoss;    // the message for the user: which server, what happened
    bool gbLossSaid = false; // the message has been shown
};
ServerLossState& serverLossState();
// Forgets a failure and sets the limit (tests).
void resetServerWatch(int limitMs = kServerWaitSeconds * 1000);

// True once a wait has reached the limit (until reset).
bool serverStoppedAnswering();

// The error a backend reports for a failed call on `server` (as messages show it): when the
// watch ended the wait, that the server stopped answering; when `connectionLost`, that the
// connection was lost, with the driver's `error` as the cause; both are kept for the run.
// Otherwise `error` unchanged.
DbError serverFailure(const QString& server, bool connectionLost, const DbError& error);

} // namespace vx::db
