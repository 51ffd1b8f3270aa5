#pragma once
// Finding and checking a SQL Server on the network before its driver tries to log in: the
// SQL Browser's answer for a named instance (its TCP port), and whether a machine's TCP port
// accepts connections. Both wait no longer than they are told, so that a login keeps to its
// timeout and a failure can be told in plain words.

#include <QString>

namespace vx::db::odbc {

inline constexpr quint16 kSqlBrowserPort = 1434;

struct BrowserAnswer {
    enum class Outcome {
        Port,        // the instance listens on TCP `port`
        NoTcp,       // the instance is known but does not accept TCP/IP connections
        NoAnswer,    // nothing answered (no SQL Browser, no such instance, a firewall)
        UnknownHost, // the machine's name cannot be resolved
    };
    Outcome outcome = Outcome::NoAnswer;
    QString port;
};

// Asks the SQL Browser of `machine` (UDP `browserPort`) for the TCP port of `instance`, waiting
// at most `waitMs` milliseconds in all.
BrowserAnswer askSqlBrowser(const QString& machine, const QString& instance, int waitMs,
                            quint16 browserPort = kSqlBrowserPort);

// The TCP port of `instance` in a SQL Browser answer ("ServerName;S;InstanceName;I;...;tcp;
// 1433;;"); empty when the answer names no TCP port for it.
QString instancePortOf(const QByteArray& answer, const QString& instance);

enum class Reach { Accepts, Refused, NoAnswer, UnknownHost };
// Tries a TCP connection to `machine`:`port`, waiting at most `waitMs` milliseconds.
Reach probeTcp(const QString& machine, quint16 port, int waitMs);

} // namespace vx::db::odbc
