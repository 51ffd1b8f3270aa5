#include "output/page_layout.h"

#include <QFontMetricsF>
#include <QHash>
#include <QRegularExpression>
#include <cmath>
#include <map>
#include <memory>
#include <tuple>

namespace vx::output {

QFont layoutFont(const FontSpec& spec) {
    QFont f(spec.family);
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(spec.size * kTwipsPerPoint))));
    f.setBold(spec.bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(true);
    return f;
}

struct TextMeasure::Metrics {
    explicit Metrics(const FontSpec& spec) : fm(layoutFont(spec)), lineHeight(fm.lineSpacing()) {}
    QFontMetricsF fm;
    double lineHeight;
    QHash<QString, double> widths;
};

namespace {

// Enough for the names, dates and totals a report repeats; the amounts and numbers that do not
// repeat would otherwise make the cache grow with the report.
constexpr qsizetype kMaxKeptWidths = 20000;

} // namespace

TextMeasure::TextMeasure(const FontSpec& spec) {
    thread_local std::map<std::tuple<QString, double, bool>, std::unique_ptr<Metrics>> fonts;
    auto& m = fonts[{spec.family, spec.size, spec.bold}];
    if (!m)
        m = std::make_unique<Metrics>(spec);
    metrics_ = m.get();
}

double TextMeasure::width(const QString& text) const {
    auto& widths = metrics_->widths;
    if (const auto it = widths.constFind(text); it != widths.constEnd())
        return *it;
    const double w = metrics_->fm.horizontalAdvance(text);
    if (widths.size() >= kMaxKeptWidths)
        widths.clear();
    widths.insert(text, w);
    return w;
}

double TextMeasure::lineHeight() const {
    return metrics_->lineHeight;
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
    const QFontMetricsF& fm = metrics_->fm;
    // Nearly every cell is one short line: it needs neither the split nor a second measure.
    const bool oneParagraph = !text.contains(u'\n') && !text.contains(u'\r');
    if (oneParagraph && width(text) <= max)
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
