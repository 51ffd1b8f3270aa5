#include "output/pdf_info.h"

#include <QRegularExpression>

namespace vx::output {

qint64 EndsKeepingDevice::writeData(const char* data, qint64 size) {
    const qint64 n = out_.write(data, size);
    if (n <= 0)
        return n;
    if (head_.size() < kKept)
        head_.append(data, std::min<qint64>(n, kKept - head_.size()));
    // Trimmed only when twice the size kept: PDF writers write in many small pieces.
    tail_.append(data, n);
    if (tail_.size() > 2 * kKept)
        tail_.remove(0, tail_.size() - kKept);
    written_ += n;
    return n;
}

namespace {

// A PDF text string: UTF-16BE with its byte order mark, in hexadecimal, so that no character of
// the text needs escaping.
QByteArray textString(const QString& text) {
    QByteArray utf16("\xfe\xff", 2);
    for (const QChar c : text) {
        utf16.append(char(c.unicode() >> 8));
        utf16.append(char(c.unicode() & 0xff));
    }
    return '<' + utf16.toHex() + '>';
}

// The body of the dictionary of object `number` in `head` (between "<<" and its last ">>"), or
// an empty text when the object does not lie wholly within `head`.
QByteArray dictionaryBody(const QByteArray& head, const QByteArray& number) {
    const QByteArray start = '\n' + number + " 0 obj";
    qsizetype at = head.indexOf(start);
    if (at < 0)
        return QByteArray();
    at += start.size();
    const qsizetype end = head.indexOf("endobj", at);
    const qsizetype open = head.indexOf("<<", at);
    if (end < 0 || open < 0 || open > end)
        return QByteArray();
    const qsizetype close = head.lastIndexOf(">>", end);
    if (close <= open)
        return QByteArray();
    return head.mid(open + 2, close - open - 2);
}

} // namespace

QByteArray pdfAuthorUpdate(const QByteArray& head, const QByteArray& tail, qint64 size,
                           const PdfInfo& info) {
    const qsizetype trailerAt = tail.lastIndexOf("trailer");
    const qsizetype startxrefAt = tail.lastIndexOf("startxref");
    if (trailerAt < 0 || startxrefAt < trailerAt)
        return QByteArray();
    const QString trailer = QString::fromLatin1(tail.mid(trailerAt, startxrefAt - trailerAt));
    static const QRegularExpression sizeRe(QStringLiteral("/Size\\s+(\\d+)"));
    static const QRegularExpression rootRe(QStringLiteral("/Root\\s+(\\d+\\s+\\d+)\\s+R"));
    static const QRegularExpression infoRe(QStringLiteral("/Info\\s+(\\d+)\\s+0\\s+R"));
    static const QRegularExpression prevRe(QStringLiteral("startxref\\s+(\\d+)"));
    const auto sizeM = sizeRe.match(trailer), rootM = rootRe.match(trailer);
    const auto prevM = prevRe.match(QString::fromLatin1(tail.mid(startxrefAt)));
    if (!sizeM.hasMatch() || !rootM.hasMatch() || !prevM.hasMatch())
        return QByteArray();

    // The information dictionary gets a new version under its own number, or a new number.
    const auto infoM = infoRe.match(trailer);
    QByteArray number = sizeM.captured(1).toLatin1();
    QByteArray body;
    if (infoM.hasMatch()) {
        number = infoM.captured(1).toLatin1();
        body = dictionaryBody(head, number);
    }
    if (body.isEmpty())
        body = "\n/Title " + textString(info.title) + "\n/Creator " + textString(info.creator);
    const qint64 objectAt = size + 1; // after the line break that starts the update
    QByteArray update = "\n" + number + " 0 obj\n<<" + body + "\n/Author " +
                        textString(info.author) + "\n>>\nendobj\n";
    const qint64 xrefAt = size + update.size();
    const qint64 newSize = std::max(sizeM.captured(1).toLongLong(), number.toLongLong() + 1);
    update += "xref\n" + number + " 1\n" + QByteArray::number(objectAt).rightJustified(10, '0') +
              " 00000 n \n" + "trailer\n<<\n/Size " + QByteArray::number(newSize) + "\n/Info " +
              number + " 0 R\n/Root " + rootM.captured(1).toLatin1() + " R\n/Prev " +
              prevM.captured(1).toLatin1() + "\n>>\nstartxref\n" + QByteArray::number(xrefAt) +
              "\n%%EOF\n";
    return update;
}

} // namespace vx::output
