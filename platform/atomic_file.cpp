#include "platform/atomic_file.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vx {

namespace {
bool writeAll(int fd, const QByteArray& data) {
    const char* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}
bool failWithErrno(QString* error) {
    if (error)
        *error = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

// The file a path leads to through its symbolic links (the path itself when it is none); a link
// whose file is missing leads to the file it names.
QString throughLinks(const QString& path) {
    QString p = path;
    for (int hops = 0; hops < 40; ++hops) {
        const QFileInfo info(p);
        if (!info.isSymLink())
            break;
        p = info.symLinkTarget();
    }
    return p;
}

} // namespace

bool writeFileAtomically(const QString& linkOrFile, const QByteArray& data, mode_t mode,
                         bool keepExistingMode, QString* error) {
    // A link is written through: the file it leads to is replaced, the link stays a link.
    const QString path = throughLinks(linkOrFile);
    const QByteArray target = QFile::encodeName(path);
    struct stat st {};
    if (keepExistingMode && ::stat(target.constData(), &st) == 0)
        mode = st.st_mode & 07777;

    const QByteArray dir = QFile::encodeName(QFileInfo(path).absolutePath());
    QByteArray tmpl = dir + "/." + QFile::encodeName(QFileInfo(path).fileName()) + ".XXXXXX";
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0)
        return failWithErrno(error);
    bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, data) && ::fsync(fd) == 0;
    const int savedErrno = errno;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(tmpl.constData(), target.constData()) == 0)
        return true;
    const int err = ok ? errno : savedErrno;
    ::unlink(tmpl.constData());
    if (error)
        *error = QString::fromLocal8Bit(std::strerror(err));
    return false;
}

bool appendToFile(const QString& path, const QByteArray& data, QString* error) {
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return failWithErrno(error);
    const bool written = writeAll(fd, data);
    const int savedErrno = errno;
    if (::close(fd) != 0 || !written) {
        if (!written)
            errno = savedErrno;
        return failWithErrno(error);
    }
    return true;
}

} // namespace vx
