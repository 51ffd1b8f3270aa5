// The laid-out pages put to use: drawing, PDF, a text dump and text search.
#include "output/document.h"

#include "output/pdf_info.h"
#include "platform/messages.h"

#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <optional>

namespace vx::output {

namespace {

// Body and footer items of a page in reading order: top to bottom, then left to right.
QList<TextItem> readingOrder(const Page& page) {
    QList<TextItem> items = page.items + page.footer;
    std::stable_sort(items.begin(), items.end(), [](const TextItem& a, const TextItem& b) {
        if (std::abs(a.box.top() - b.box.top()) > 0.5)
            return a.box.top() < b.box.top();
        return a.box.left() < b.box.left();
    });
    return items;
}

// Where the item's text starts, given its alignment in its box.
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

// Twips per character of the text dump: about the average width of a 10 point character.
constexpr double kDumpTwipsPerChar = 100;

// The part of a clipped item's text that shows inside its box: the characters that lie wholly
// within the box once the text is aligned in it (a clip never cuts through a letter), and where
// the first of them starts, from the box's left edge.
struct VisiblePart {
    QString text;
    double left = 0;
};

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

} // namespace

std::optional<FindResult> Document::find(const QString& text, int fromPage, double afterY) const {
    if (text.isEmpty())
        return std::nullopt;
    for (int number = std::max(1, fromPage); number <= pageCount(); ++number) {
        for (const TextItem& item : readingOrder(page(number))) {
            if (number == fromPage && item.box.top() < afterY - 0.5)
                continue;
            const qsizetype at = item.text.indexOf(text, 0, Qt::CaseInsensitive);
            if (at < 0)
                continue;
            const TextMeasure measure(item.font);
            const double left = textLeft(item, measure.width(item.text));
            const double x = left + measure.width(item.text.left(at));
            return FindResult{number, QRectF(x, item.box.top(),
                                             measure.width(item.text.mid(at, text.size())),
                                             item.box.height())};
        }
    }
    return std::nullopt;
}

void Document::renderPage(QPainter& painter, int number, double scale) const {
    if (number < 1 || number > pageCount())
        return;
    painter.save();
    painter.scale(scale, scale);
    painter.fillRect(QRectF(QPointF(0, 0), pageSize_), Qt::white);
    painter.setPen(Qt::black);
    const Page& p = page(number);
    // Items of one font follow one another: the font is set when it changes.
    std::optional<FontSpec> font;
    for (const TextItem& item : p.items + p.footer) {
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
    painter.restore();
}

bool Document::writePdf(const QString& path, QString* error) const {
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (pageCount() == 0)
        return fail(QStringLiteral("The document has no pages."));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    EndsKeepingDevice pdf(file);
    pdf.open(QIODevice::WriteOnly);
    const PdfInfo info{title_, author_, productName() + u' ' + productVersion()};
    {
        QPdfWriter writer(&pdf);
        writer.setTitle(info.title);
        writer.setCreator(info.creator);
        writer.setPageSize(QPageSize(pageSize_ / kTwipsPerInch, QPageSize::Inch, QString(),
                                     QPageSize::FuzzyMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        const double scale = writer.resolution() / double(kTwipsPerInch);
        QPainter painter;
        if (!painter.begin(&writer))
            return fail(QStringLiteral("The PDF file could not be started."));
        for (int number = 1; number <= pageCount(); ++number) {
            if (number > 1)
                writer.newPage();
            renderPage(painter, number, scale);
        }
        painter.end();
    }
    file.write(pdfAuthorUpdate(pdf.head(), pdf.tail(), pdf.written(), info));
    // commit() does not notice a write that fails while it empties the file's buffer (it would
    // put a cut-off PDF in place of the old one): the buffer is emptied and checked first.
    if (!file.flush() || !file.commit())
        return fail(file.errorString());
    return true;
}

QString Document::textDump() const {
    QStringList pageTexts;
    for (int number = 1; number <= pageCount(); ++number) {
        const Page& p = page(number);
        QStringList lines;
        QString line;
        double lineTop = -1, lineBottom = -1;
        for (const TextItem& item : readingOrder(p)) {
            if (lineTop < 0 || std::abs(item.box.top() - lineTop) > 0.5) {
                if (lineTop >= 0) {
                    lines.append(line);
                    // A gap of at least half a line (empty rows, the footer) shows as one
                    // empty line.
                    if (item.box.top() - lineBottom >= (lineBottom - lineTop) / 2)
                        lines.append(QString());
                }
                line.clear();
                lineTop = item.box.top();
                lineBottom = lineTop;
            }
            lineBottom = std::max(lineBottom, item.box.bottom());
            const QString text = visiblePart(item).text;
            const auto column = [&](double twips) {
                return static_cast<qsizetype>(
                    std::floor((twips - p.leftMargin) / kDumpTwipsPerChar));
            };
            qsizetype start = column(item.box.left());
            if (item.align == Align::Right)
                start = column(item.box.right()) - text.size();
            else if (item.align == Align::Centre)
                start = column(item.box.center().x()) - text.size() / 2;
            start = std::max<qsizetype>({start, 0, line.isEmpty() ? 0 : line.size() + 1});
            line = line.leftJustified(start, QLatin1Char(' ')) + text;
        }
        if (lineTop >= 0)
            lines.append(line);
        for (QString& l : lines)
            while (l.endsWith(QLatin1Char(' ')))
                l.chop(1);
        pageTexts.append(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    }
    return pageTexts.join(QLatin1Char('\f'));
}

} // namespace vx::output
