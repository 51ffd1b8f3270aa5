#include "platform/textfile.h"

#include "platform/atomic_file.h"

#include <QFile>

namespace vx {

namespace {
QByteArray joined(const QStringList& lines) {
    QByteArray data;
    for (const QString& l : lines) {
        data += l.toUtf8();
        data += "\r\n";
    }
    return data;
}
} // namespace

std::optional<QString> readFirstLine(const QString& path, qsizetype maxBytes) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray line;
    char buf[4096];
    while (line.size() < maxBytes) {
        const qint64 n = f.read(buf, qMin<qint64>(sizeof buf, maxBytes - line.size()));
        if (n <= 0)
            break;
        const QByteArray chunk(buf, static_cast<qsizetype>(n));
        const qsizetype end = chunk.indexOf('\n');
        const qsizetype cr = chunk.indexOf('\r');
        const qsizetype stop = (end < 0) ? cr : (cr < 0 ? end : qMin(end, cr));
        if (stop >= 0) {
            line += chunk.left(stop);
            break;
        }
        line += chunk;
    }
    return QString::fromUtf8(line);
}

bool writeLines(const QString& path, const QStringList& lines, QString* error) {
    return writeFileAtomically(path, joined(lines), 0644, true, error);
}

bool appendLines(const QString& path, const QStringList& lines, QString* error) {
    return appendToFile(path, joined(lines), error);
}

} // namespace vx
