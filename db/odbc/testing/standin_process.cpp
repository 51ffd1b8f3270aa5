#include "db/odbc/testing/standin_process.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

namespace vx::dbtest {

Certificate makeSelfSignedCertificate(const QString& folder) {
    const Certificate c{folder + QStringLiteral("/cert.pem"), folder + QStringLiteral("/key.pem")};
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=localhost",
                   "-days", "2", "-keyout", c.keyFile, "-out", c.certFile});
    if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0)
        return {};
    return c;
}

TdsStandIn::TdsStandIn(const QString& script, const QString& profile, const QString& store,
                       const QString& database, const QString& user, const QString& password,
                       const Certificate& cert) {
    QStringList args{script,
                     "--profile",
                     profile,
                     "--store",
                     store,
                     "--database",
                     database,
                     "--user",
                     user,
                     "--password",
                     password,
                     "--port-file",
                     dir_.filePath("port"),
                     "--log",
                     dir_.filePath("log")};
    if (!cert.certFile.isEmpty())
        args << "--cert" << cert.certFile << "--key" << cert.keyFile;
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.setStandardOutputFile(dir_.filePath("output"));
    process_.start(QStringLiteral("python3"), args);
    QElapsedTimer clock;
    clock.start();
    while (port_ == 0 && clock.elapsed() < 10000 && process_.state() != QProcess::NotRunning) {
        QFile file(dir_.filePath("port"));
        if (file.open(QIODevice::ReadOnly))
            port_ = QString::fromLatin1(file.readAll()).trimmed().toInt();
        if (port_ == 0)
            QThread::msleep(20);
    }
}

TdsStandIn::~TdsStandIn() {
    process_.terminate();
    if (!process_.waitForFinished(3000))
        process_.kill();
    process_.waitForFinished(3000);
}

QString TdsStandIn::logText() const {
    QString text;
    for (const char* name : {"log", "output"}) {
        QFile file(dir_.filePath(QLatin1String(name)));
        if (file.open(QIODevice::ReadOnly))
            text += QString::fromUtf8(file.readAll());
    }
    return text;
}

} // namespace vx::dbtest
