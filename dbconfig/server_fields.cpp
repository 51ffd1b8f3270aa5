#include "dbconfig/server_fields.h"

#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

namespace vx {

namespace {

const QLatin1String kSqlite("sqlite:");
const QLatin1String kPostgres("postgresql://");

QString decoded(const QString& text) {
    return QUrl::fromPercentEncoding(text.toUtf8());
}

// Address parts are written percent-encoded where the address syntax needs it; slashes stay,
// so a socket folder reads as a path.
QString encoded(const QString& text, const QByteArray& keep = {}) {
    return QString::fromLatin1(QUrl::toPercentEncoding(text, keep));
}

} // namespace

ServerFields parseServerSetting(const QString& server) {
    ServerFields f;
    const QString text = server.trimmed();
    if (text.startsWith(kSqlite, Qt::CaseInsensitive)) {
        f.folder = text.mid(kSqlite.size()).trimmed();
        return f;
    }
    static const QRegularExpression shape(
        QStringLiteral("^postgres(?:ql)?://(?:[^@/?]*@)?(\\[[^\\]]*\\]|[^:/?]*)(?::(\\d*))?"
                       "(?:/[^?]*)?(?:\\?(.*))?$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = shape.match(text);
    if (!m.hasMatch())
        return f;
    f.engine = DbEngine::PostgreSQL;
    f.host = decoded(m.captured(1));
    if (f.host.startsWith(u'['))
        f.host = f.host.mid(1, f.host.size() - 2);
    f.port = m.captured(2);
    QStringList others;
    for (const QString& pair : m.captured(3).split(u'&', Qt::SkipEmptyParts)) {
        const qsizetype eq = pair.indexOf(u'=');
        const QString key = decoded(pair.left(eq < 0 ? pair.size() : eq));
        const QString value = eq < 0 ? QString() : decoded(pair.mid(eq + 1));
        if (key == QLatin1String("host") && value.startsWith(u'/'))
            f.socket = value;
        else if (key == QLatin1String("host"))
            f.host = value;
        else if (key == QLatin1String("port"))
            f.port = value;
        else
            others << pair;
    }
    f.extra = others.join(u'&');
    return f;
}

QString composeServerSetting(const ServerFields& f) {
    if (f.engine == DbEngine::Embedded)
        return kSqlite + f.folder.trimmed();
    QString host = f.host.trimmed();
    if (host.isEmpty())
        host = QStringLiteral("localhost");
    QString address = kPostgres + (host.contains(u':') ? u'[' + host + u']' : encoded(host));
    if (!f.port.trimmed().isEmpty())
        address += u':' + f.port.trimmed();
    QStringList query;
    if (!f.socket.trimmed().isEmpty())
        query << QStringLiteral("host=") + encoded(f.socket.trimmed(), "/");
    if (!f.extra.isEmpty())
        query << f.extra;
    if (!query.isEmpty())
        address += u'?' + query.join(u'&');
    return address;
}

} // namespace vx
