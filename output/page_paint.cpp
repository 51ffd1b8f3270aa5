#include "output/page_paint.h"

#include <optional>

namespace vx::output {

double textLeft(const TextItem& item, double textWidth) {
    switch (item.align) {
    case Align::Left:
        return item.box.left();
    case Align::Centre:
        return item.box.center().x() - textWidth / 2;
    case Align::Right:
        return item.box.right() - textWidth;
    }
    return item.box.left();
}

VisiblePart visiblePart(const TextItem& item) {
    if (!item.clipped)
        return {item.text, 0};
    const TextMeasure measure(item.font);
    const double boxWidth = item.box.width();
    const double textWidth = measure.width(item.text);
    double x = 0;
    if (item.align == Align::Right)
        x = boxWidth - textWidth;
    else if (item.align == Align::Centre)
        x = (boxWidth - textWidth) / 2;
    VisiblePart shown;
    double before = 0;
    for (qsizetype i = 0; i < item.text.size(); ++i) {
        const double after = measure.width(item.text.left(i + 1));
        if (x + before >= -0.5 && x + after <= boxWidth + 0.5) {
            if (shown.text.isEmpty())
                shown.left = x + before;
            shown.text += item.text[i];
        }
        before = after;
    }
    return shown;
}

namespace {

Qt::Alignment qtAlign(Align align) {
    switch (align) {
    case Align::Left:
        return Qt::AlignLeft;
    case Align::Centre:
        return Qt::AlignHCenter;
    case Align::Right:
        return Qt::AlignRight;
    }
    return Qt::AlignLeft;
}

void paintItems(QPainter& painter, const QList<TextItem>& items, std::optional<FontSpec>& font) {
    for (const TextItem& item : items) {
        if (font != item.font) {
            font = item.font;
            painter.setFont(layoutFont(item.font));
        }
        const int flags = Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip;
        if (item.clipped) {
            // Only the letters that fit wholly, each where it stands in the whole text.
            const VisiblePart part = visiblePart(item);
            painter.drawText(item.box.translated(part.left, 0), flags | Qt::AlignLeft, part.text);
        } else {
            painter.drawText(item.box, flags | qtAlign(item.align), item.text);
        }
    }
}

} // namespace

void paintPage(QPainter& painter, const Page& page, QSizeF pageSize, double scale) {
    painter.save();
    painter.scale(scale, scale);
    painter.fillRect(QRectF(QPointF(0, 0), pageSize), Qt::white);
    painter.setPen(Qt::black);
    // Items of one font follow one another: the font is set when it changes.
    std::optional<FontSpec> font;
    paintItems(painter, page.items, font);
    paintItems(painter, page.footer, font);
    painter.restore();
}

} // namespace vx::output
