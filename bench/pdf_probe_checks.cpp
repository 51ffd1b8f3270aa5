// The probe's checks of a written PDF, through poppler's tools (pdfinfo, pdffonts, pdftotext),
// and of the glyph positions the cairo writer takes from QRawFont against Qt's text layout.
#include "bench/pdf_probe.h"

#include <QFileInfo>
#include <QProcess>
#include <QRawFont>
#include <QRegularExpression>
#include <QSet>
#include <QTextLayout>

#include <cmath>

namespace vx::bench {

namespace {

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(-1);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The columns of pdffonts' table, from the widths of its dashed line.
QStringList columns(const QString& line, const QString& dashes) {
    QStringList cells;
    qsizetype at = 0;
    for (const QString& d : dashes.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const qsizetype start = dashes.indexOf(d, at);
        cells << line.mid(start, d.size()).trimmed();
        at = start + d.size();
    }
    return cells;
}

struct Word {
    QString text;
    double xMin, yMin, xMax, yMax;
};

QList<Word> wordBoxes(const QString& path, int pages) {
    static const QRegularExpression re(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">"
        "([^<]*)</word>"));
    QList<Word> words;
    const QString html =
        run(QStringLiteral("pdftotext"),
            {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"),
             QStringLiteral("-l"), QString::number(pages), path, QStringLiteral("-")});
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        words.append({m.captured(5), m.captured(1).toDouble(), m.captured(2).toDouble(),
                      m.captured(3).toDouble(), m.captured(4).toDouble()});
    }
    return words;
}

} // namespace

PdfChecks checkPdf(const QString& path) {
    PdfChecks c;
    c.bytes = QFileInfo(path).size();
    for (const QString& line : run(QStringLiteral("pdfinfo"), {path}).split(QLatin1Char('\n'))) {
        const QString value = line.section(QLatin1Char(':'), 1).trimmed();
        if (line.startsWith(QLatin1String("Title:")))
            c.title = value;
        else if (line.startsWith(QLatin1String("Author:")))
            c.author = value;
        else if (line.startsWith(QLatin1String("Creator:")))
            c.creator = value;
        else if (line.startsWith(QLatin1String("Pages:")))
            c.pages = value.toInt();
    }
    const QStringList lines =
        run(QStringLiteral("pdffonts"), {path}).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    c.fontsEmbedded = lines.size() > 2;
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QStringList cells = columns(lines[i], lines[1]);
        if (cells.size() < 6)
            continue;
        c.fonts << cells.mid(0, 2).join(QLatin1Char('/')) + u' ' + cells.mid(3, 3).join(u' ');
        c.fontsEmbedded = c.fontsEmbedded && cells[3] == QLatin1String("yes") &&
                          cells[4] == QLatin1String("yes") &&
                          cells[0].indexOf(QLatin1Char('+')) == 6;
    }
    c.text =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    return c;
}

QStringList wordsOf(const QString& text) {
    static const QRegularExpression blank(QStringLiteral("\\s+"));
    return text.split(blank, Qt::SkipEmptyParts);
}

WordShift compareWordBoxes(const QString& a, const QString& b, int pages) {
    const QList<Word> wa = wordBoxes(a, pages), wb = wordBoxes(b, pages);
    if (wa.size() != wb.size() || wa.isEmpty())
        return {};
    WordShift shift{0, 0};
    for (qsizetype i = 0; i < wa.size(); ++i) {
        if (wa[i].text != wb[i].text)
            return {};
        shift.x = std::max(
            {shift.x, std::abs(wa[i].xMin - wb[i].xMin), std::abs(wa[i].xMax - wb[i].xMax)});
        // The baseline: the boxes' heights follow each file's own font descriptor.
        shift.y = std::max(shift.y, std::abs(wa[i].yMax - wb[i].yMax));
    }
    shift.x *= output::kTwipsPerPoint;
    shift.y *= output::kTwipsPerPoint;
    return shift;
}

ShapeCheck compareShaping(const output::Document& doc) {
    ShapeCheck check;
    QSet<QString> seen;
    for (int n = 1; n <= doc.pageCount(); ++n) {
        for (const output::TextItem& item : doc.page(n).items + doc.page(n).footer) {
            const QString key =
                item.text + QChar(item.font.bold ? u'B' : u'R') + QString::number(item.font.size);
            if (item.text.isEmpty() || seen.contains(key))
                continue;
            seen.insert(key);
            const QFont font = output::layoutFont(item.font);
            QTextLayout layout(item.text, font);
            layout.beginLayout();
            layout.createLine();
            layout.endLayout();
            const QList<QGlyphRun> runs = layout.glyphRuns();
            const QRawFont raw = QRawFont::fromFont(font);
            const QList<quint32> ids = raw.glyphIndexesForString(item.text);
            const auto adv = raw.advancesForGlyphIndexes(ids, QRawFont::KernedAdvances |
                                                                  QRawFont::UseDesignMetrics);
            if (runs.size() != 1 || runs[0].glyphIndexes() != ids) {
                check.maxShift = std::max(check.maxShift, 1e9); // another font or shaping
                continue;
            }
            double x = 0;
            const QList<QPointF> positions = runs[0].positions();
            for (qsizetype i = 0; i < ids.size(); ++i) {
                check.maxShift = std::max(check.maxShift, std::abs(positions[i].x() - x));
                x += adv[i].x();
            }
        }
    }
    check.texts = seen.size();
    return check;
}

QByteArray withoutTimes(QByteArray pdf) {
    static const QRegularExpression date(QStringLiteral("D:\\d{14}[^)]*"));
    static const QRegularExpression iso(
        QStringLiteral("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[^<]*"));
    QString text = QString::fromLatin1(pdf);
    text.replace(date, QStringLiteral("D:"));
    text.replace(iso, QString());
    return text.toLatin1();
}

} // namespace vx::bench
