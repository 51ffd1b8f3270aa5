#include "output/page_layout.h"

#include <QFontMetricsF>
#include <QRegularExpression>
#include <cmath>

namespace vx::output {

QFont layoutFont(const FontSpec& spec) {
    QFont f(spec.family);
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(spec.size * kTwipsPerPoint))));
    f.setBold(spec.bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(true);
    return f;
}

TextMeasure::TextMeasure(const FontSpec& spec) : font_(layoutFont(spec)) {}

double TextMeasure::width(const QString& text) const {
    return QFontMetricsF(font_).horizontalAdvance(text);
}

double TextMeasure::lineHeight() const {
    return QFontMetricsF(font_).lineSpacing();
}

namespace {

// Splits a word wider than the line into pieces that fit (at least one character each).
QStringList splitWord(const QString& word, double max, const QFontMetricsF& fm) {
    QStringList pieces;
    QString piece;
    for (const QChar c : word) {
        if (!piece.isEmpty() && fm.horizontalAdvance(piece + c) > max) {
            pieces.append(piece);
            piece.clear();
        }
        piece += c;
    }
    if (!piece.isEmpty())
        pieces.append(piece);
    return pieces;
}

} // namespace

QStringList TextMeasure::wrap(const QString& text, double max) const {
    const QFontMetricsF fm(font_);
    // Nearly every cell is one short line: it needs neither the split nor a second measure.
    const bool oneParagraph = !text.contains(u'\n') && !text.contains(u'\r');
    if (oneParagraph && fm.horizontalAdvance(text) <= max)
        return {text};
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines;
    for (const QString& paragraph : oneParagraph ? QStringList{text} : text.split(lineBreak)) {
        if (fm.horizontalAdvance(paragraph) <= max) {
            lines.append(paragraph);
            continue;
        }
        QString line;
        for (const QString& word : paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (fm.horizontalAdvance(candidate) <= max) {
                line = candidate;
                continue;
            }
            if (!line.isEmpty())
                lines.append(line);
            line.clear();
            if (fm.horizontalAdvance(word) <= max) {
                line = word;
                continue;
            }
            QStringList pieces = splitWord(word, max, fm);
            line = pieces.takeLast();
            lines.append(pieces);
        }
        lines.append(line);
    }
    // Text that ends with a line break (a carriage return after the last word) adds no line.
    while (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace vx::output
