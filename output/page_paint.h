#pragma once
// Drawing laid-out pages: shared by the preview, the printer and every PDF writer, so that all of
// them show the same text at the same places.

#include "output/page_layout.h"

#include <QPainter>
#include <QSizeF>

namespace vx::output {

// Draws `page` (of `pageSize` twips) with `scale` device units per twip, from the painter's
// origin: a white sheet, then every item in black.
void paintPage(QPainter& painter, const Page& page, QSizeF pageSize, double scale);

// Where an item's text starts, given its alignment in its box and the text's width.
double textLeft(const TextItem& item, double textWidth);

// The part of a clipped item's text that shows inside its box: the characters that lie wholly
// within the box once the text is aligned in it (a clip never cuts through a letter), and where
// the first of them starts, from the box's left edge. An item that is not clipped shows whole.
struct VisiblePart {
    QString text;
    double left = 0;
};
VisiblePart visiblePart(const TextItem& item);

} // namespace vx::output
