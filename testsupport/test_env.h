#pragma once
// A throw-away home for one test: HOME, XDG_CONFIG_HOME and JOV_PROGRAM_DIR point into a fresh
// temporary folder and are restored afterwards.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <map>
#include <ostream>
#include <sys/resource.h>

// GoogleTest prints texts as text, not as lists of bytes.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace vx::test {

// The folder of the programs the project builds (vantrex-report, JOVDataConfiguration).
inline QString binDir() {
    return QStringLiteral(VANTREX_BIN_DIR);
}

// The report program's pages as its text dump (--text FILE), run with `commandLine`, the
// footer's time of day left out; a run that does not end with status 0 fails the test.
QString reportTextPages(const QString& commandLine, const QString& file);

// Makes every write into a regular file fail past `bytes` while it lives (as a full disk
// would), so that a failing write can be provoked even when the tests run with root rights.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lim = old_;
        lim.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lim);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

class TestEnv {
  public:
    TestEnv();
    ~TestEnv();
    TestEnv(const TestEnv&) = delete;
    TestEnv& operator=(const TestEnv&) = delete;

    QString root() const { return dir_.path(); }
    QString home() const { return root() + QStringLiteral("/home"); }
    QString programDir() const { return root() + QStringLiteral("/program"); }
    QString configDir() const { return home() + QStringLiteral("/.config"); }
    // A folder below the root, created with its parents.
    QString mkdir(const QString& relative) const;
    // Writes `content` (bytes as given) into `path`, creating folders.
    static void writeFile(const QString& path, const QByteArray& content);
    static QByteArray readFile(const QString& path);

    // Sets an environment variable for the test's lifetime.
    void setEnv(const char* name, const QString& value);

  private:
    QTemporaryDir dir_;
    std::map<QByteArray, std::pair<bool, QByteArray>> saved_;
};

// Runs `f` as an ordinary user (uid 65534): root may read and write any file, which would hide
// the permission cases. The test's folders must give others the rights the case needs; the root
// folder is opened to them. Without root rights `f` simply runs.
void asOrdinaryUser(const TestEnv& env, const std::function<void()>& f);

} // namespace vx::test
