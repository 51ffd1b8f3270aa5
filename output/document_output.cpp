// The laid-out pages put to use: drawing, PDF, a text dump and text search.
#include "output/document.h"

#include "output/page_paint.h"
#include "output/pdf_writer.h"
#include "platform/messages.h"

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

// Twips per character of the text dump: about the average width of a 10 point character.
constexpr double kDumpTwipsPerChar = 100;

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
    if (number >= 1 && number <= pageCount())
        paintPage(painter, page(number), pageSize_, scale);
}

bool Document::writePdf(const QString& path, QString* error) const {
    if (pageCount() == 0) {
        if (error)
            *error = QStringLiteral("The document has no pages.");
        return false;
    }
    const auto writer = makePdfPageWriter(defaultPdfEngine());
    if (!writer->begin(path, pageSize_, pdfInfo(), error))
        return false;
    for (const Page& p : pages_)
        writer->addPage(p);
    return writer->finish(error);
}

QString Document::textDump() const {
    QStringList pageTexts;
    for (int number = 1; number <= pageCount(); ++number)
        pageTexts.append(pageText(number));
    return pageTexts.join(QLatin1Char('\f'));
}

QString Document::pageText(int number) const {
    const Page& p = page(number);
    QStringList lines;
    QString line;
    double lineTop = -1, lineBottom = -1;
    for (const TextItem& item : readingOrder(p)) {
        if (lineTop < 0 || std::abs(item.box.top() - lineTop) > 0.5) {
            if (lineTop >= 0) {
                lines.append(line);
                // A gap of at least half a line (empty rows, the footer) shows as one empty
                // line.
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
            return static_cast<qsizetype>(std::floor((twips - p.leftMargin) / kDumpTwipsPerChar));
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
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

PdfInfo Document::pdfInfo() const {
    return {title_, author_, productName() + u' ' + productVersion()};
}

} // namespace vx::output
