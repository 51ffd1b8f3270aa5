#pragma once
// The SQL Server stand-in (tds_standin.py beside this file) run for one test: it serves an
// SQLite store on a loopback port as the chosen release would, until destroyed.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace vx::dbtest {

// A self-signed certificate for the loopback ("CN=localhost") and its key; empty on failure.
struct Certificate {
    QString certFile, keyFile;
};
Certificate makeSelfSignedCertificate(const QString& folder);

class TdsStandIn {
  public:
    TdsStandIn(const QString& script, const QString& profile, const QString& store,
               const QString& database, const QString& user, const QString& password,
               const Certificate& cert = {});
    ~TdsStandIn();
    TdsStandIn(const TdsStandIn&) = delete;
    TdsStandIn& operator=(const TdsStandIn&) = delete;

    // The port it listens on; 0 when it did not start within 10 s.
    int port() const { return port_; }
    // What it logged (logins, statements, events), and its own error output.
    QString logText() const;

  private:
    QTemporaryDir dir_;
    QProcess process_;
    int port_ = 0;
};

} // namespace vx::dbtest
