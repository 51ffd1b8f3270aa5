#include "testsupport/test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <unistd.h>

namespace vx::test {

TestEnv::TestEnv() {
    QDir().mkpath(home());
    QDir().mkpath(programDir());
    setEnv("HOME", home());
    setEnv("XDG_CONFIG_HOME", configDir());
    setEnv("JOV_PROGRAM_DIR", programDir());
}

TestEnv::~TestEnv() {
    for (const auto& [name, old] : saved_) {
        if (old.first)
            qputenv(name.constData(), old.second);
        else
            qunsetenv(name.constData());
    }
}

void TestEnv::setEnv(const char* name, const QString& value) {
    if (!saved_.count(name))
        saved_[name] = {qEnvironmentVariableIsSet(name), qgetenv(name)};
    qputenv(name, value.toUtf8());
}

QString TestEnv::mkdir(const QString& relative) const {
    const QString path = root() + u'/' + relative;
    QDir().mkpath(path);
    return path;
}

void TestEnv::writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(content);
}

QByteArray TestEnv::readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString reportTextPages(const QString& commandLine, const QString& file) {
    QProcess p;
    p.start(binDir() + QStringLiteral("/vantrex-report"),
            {QStringLiteral("--batch"), QStringLiteral("--text"), file, commandLine});
    p.waitForFinished(300000);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    static const QRegularExpression now(QStringLiteral(R"(\d{1,2}:\d\d [AP]M)"));
    return QString::fromUtf8(TestEnv::readFile(file)).replace(now, QString());
}

void asOrdinaryUser(const TestEnv& env, const std::function<void()>& f) {
    if (::geteuid() != 0)
        return f();
    using P = QFileDevice;
    QFile::setPermissions(env.root(), P::ReadOwner | P::WriteOwner | P::ExeOwner | P::ReadGroup |
                                          P::ExeGroup | P::ReadOther | P::ExeOther);
    ASSERT_EQ(::setresuid(65534, 65534, 0), 0);
    f();
    ASSERT_EQ(::setresuid(0, 0, 0), 0);
}

} // namespace vx::test
