#pragma once
// The laid-out document: pages of positioned text items in twips (1440 per inch).

#include "output/table_format.h"

#include <QFont>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

namespace vx::output {

inline constexpr int kTwipsPerPoint = 20;
inline constexpr int kTwipsPerInch = 1440;

struct FontSpec {
    QString family = QStringLiteral("Arial");
    double size = 10; // points
    bool bold = false;
    bool operator==(const FontSpec&) const = default;
};

// One line of text placed in a box. The text is aligned inside the box; a clipped item's text is
// wider than its box and is cut at the box's edges.
struct TextItem {
    QRectF box; // twips from the page's top left corner
    FontSpec font;
    Align align = Align::Left;
    QString text;
    bool clipped = false;
};

struct Page {
    QList<TextItem> items;
    QList<TextItem> footer; // left, centre and right parts, page number filled in
    int leftMargin = 0;
};

// A font for layout and drawing: its pixel size is the point size in twips, so that measures
// taken with it and drawing in a painter scaled to twips are both in twips.
QFont layoutFont(const FontSpec& spec);

// Measures text in one font. A report repeats its texts (names, dates, totals) on every page:
// the font and the widths measured so far are kept per font for the thread, so a measure made
// once is looked up after that.
class TextMeasure {
  public:
    explicit TextMeasure(const FontSpec& spec);
    double width(const QString& text) const;
    double lineHeight() const;
    // The text broken into lines no wider than `width`: at blanks, at line breaks, and inside a
    // word only when the word alone is wider than the line.
    QStringList wrap(const QString& text, double width) const;

    struct Metrics; // a font, its line height and its measured widths

  private:
    Metrics* metrics_;
};

} // namespace vx::output
