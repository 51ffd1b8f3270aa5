#include "output/document.h"

#include "platform/regional.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <optional>

namespace vx::output {

namespace {

// Room left free inside each side of a table cell, so neighbouring cells do not touch.
constexpr double kCellPadding = 60;

QString oneLine(QString text) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    while (text.endsWith(QLatin1Char('\r')) || text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text.replace(lineBreak, QStringLiteral(" "));
}

// The smallest size a text is drawn in to keep it whole in its cell.
constexpr double kSmallestPoints = 6;

// `spec` made smaller, by half points, until `text` is no wider than `room`; nothing when even
// the smallest size is too wide.
std::optional<FontSpec> shrunkToFit(const QString& text, double room, FontSpec spec) {
    const double wide = TextMeasure(spec).width(text);
    if (wide <= room + 0.5)
        return spec;
    // Widths grow with the size: the proportional size first, then half a point at a time.
    for (double size = std::floor(spec.size * room / wide * 2) / 2; size >= kSmallestPoints;
         size -= 0.5) {
        spec.size = size;
        if (TextMeasure(spec).width(text) <= room + 0.5)
            return spec;
    }
    return std::nullopt;
}

struct CellLines {
    FontSpec font;
    QStringList lines;
    double pad; // room left free on each side
};

// How one cell's text goes into a column `width` wide with `pad` free on each side. A text
// that fits the whole width is never wrapped: the padding yields first. A word or number wider
// than its column is drawn whole in a smaller size (down to the smallest) rather than broken,
// and so is a no-wrap cell's text, which is clipped only when even that size is too wide.
CellLines cellLines(const Column& c, const QString& cell, const FontSpec& spec,
                    const TextMeasure& measure, double width, double pad) {
    const QString text = c.oneLine ? oneLine(cell) : cell;
    const bool oneParagraph = c.oneLine || (!text.contains(u'\n') && !text.contains(u'\r'));
    if (oneParagraph) {
        if (measure.width(text) <= width - 2 * pad + 0.5)
            return {spec, {text}, pad};
        // Blanks at the end show nothing: the rest is what has to fit.
        QString shown = text;
        while (shown.endsWith(u' '))
            shown.chop(1);
        const double wide = measure.width(shown);
        if (wide <= width - 2 * pad + 0.5)
            return {spec, {shown}, pad};
        if (wide <= width + 0.5)
            return {spec, {shown}, std::max(0.0, (width - wide) / 2)};
        if (c.oneLine || !shown.trimmed().contains(u' ')) {
            if (const auto smaller = shrunkToFit(shown, width, spec))
                return {*smaller, {shown}, 0};
            if (c.oneLine)
                return {FontSpec{spec.family, kSmallestPoints, spec.bold}, {shown}, 0};
        }
    }
    const double inner = width - 2 * pad;
    FontSpec font = spec;
    static const QRegularExpression blanks(QStringLiteral("[ \r\n]+"));
    for (const QString& word : text.split(blanks, Qt::SkipEmptyParts))
        if (TextMeasure(font).width(word) > inner + 0.5)
            if (const auto smaller = shrunkToFit(word, inner, font))
                font = *smaller;
    return {font, font == spec ? measure.wrap(text, inner) : TextMeasure(font).wrap(text, inner),
            pad};
}

} // namespace

QSizeF localePaperSize() {
    if (vx::timeLocale().measurementSystem() == QLocale::ImperialUSSystem)
        return {12240, 15840}; // Letter, 8.5 x 11 inches
    return {11906, 16838};     // A4, 210 x 297 mm
}

Document::Document() : pageSize_(localePaperSize()) {}

void Document::setMargins(int left, int top, int right, int bottom) {
    margins_ = {left, top, right, bottom};
}

void Document::setFooter(const QString& footer) {
    footer_ = footer;
    footerFont_ = font_;
    footerFont_.bold = false;
}

void Document::setPageStartHandler(std::function<void(ReportPrinter&)> handler) {
    pageStart_ = std::move(handler);
}

void Document::startDoc() {
    pages_.clear();
    pageSize_ = localePaperSize();
    open_ = true;
    newPage();
}

void Document::endDoc() {
    const bool producing = open_ && !pages_.isEmpty();
    open_ = false;
    if (producing && events_.pageProduced)
        events_.pageProduced(pageCount());
    if (events_.ended)
        events_.ended();
}

void Document::abandonDoc() {
    pages_.clear();
    open_ = false;
    y_ = yAfterHeader_ = 0;
}

void Document::ensurePage() {
    if (pages_.isEmpty())
        startDoc();
}

void Document::newPage() {
    if (!pages_.isEmpty() && events_.pageProduced)
        events_.pageProduced(pageCount());
    Page page;
    page.leftMargin = margins_.left;
    if (!footer_.isEmpty()) {
        const int number = static_cast<int>(pages_.size()) + 1;
        const QStringList parts = QString(footer_)
                                      .replace(QStringLiteral("%d"), QString::number(number))
                                      .split(QLatin1Char('|'));
        const double h = TextMeasure(footerFont_).lineHeight();
        const double bottom = margins_.bottom;
        const double top = pageSize_.height() - bottom + std::max(0.0, (bottom - h) / 2);
        const QRectF box(margins_.left, top, printableWidth(), h);
        const Align aligns[] = {Align::Left, Align::Centre, Align::Right};
        for (int i = 0; i < std::min<qsizetype>(3, parts.size()); ++i)
            if (!parts[i].trimmed().isEmpty())
                page.footer.append(TextItem{box, footerFont_, aligns[i], parts[i], false});
    }
    pages_.append(page);
    y_ = margins_.top;
    if (pageStart_ && !inHandler_) {
        inHandler_ = true;
        pageStart_(*this);
        inHandler_ = false;
    }
    yAfterHeader_ = y_;
}

Document::Row Document::layoutRow(const QList<Column>& columns, const QStringList& cells,
                                  bool bold) const {
    FontSpec spec = font_;
    spec.bold = bold;
    const TextMeasure measure(spec);
    const double lineHeight = measure.lineHeight();

    double fixed = 0;
    int open = 0;
    for (const Column& c : columns) {
        if (c.width >= 0)
            fixed += c.width;
        else
            ++open;
    }
    const double share = open ? std::max(0.0, printableWidth() - fixed) / open : 0;

    Row row;
    row.height = lineHeight;
    double x = margins_.left;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const Column& c = columns[i];
        const double width = c.width >= 0 ? c.width : share;
        const double pad = width > 4 * kCellPadding ? kCellPadding : 0;
        const CellLines cell =
            cellLines(c, i < cells.size() ? cells[i] : QString(), spec, measure, width, pad);
        const TextMeasure cellMeasure = cell.font == spec ? measure : TextMeasure(cell.font);
        const double inner = width - 2 * cell.pad;
        for (qsizetype l = 0; l < cell.lines.size(); ++l) {
            const QString& line = cell.lines[l];
            if (line.trimmed().isEmpty())
                continue;
            const QRectF box(x + cell.pad, l * lineHeight, inner, lineHeight);
            row.items.append(
                TextItem{box, cell.font, c.align, line, cellMeasure.width(line) > inner + 0.5});
        }
        row.height = std::max(row.height, cell.lines.size() * lineHeight);
        x += width;
    }
    return row;
}

void Document::placeRow(const Row& row, const std::function<void()>& afterBreak) {
    ensurePage();
    if (y_ + row.height > bottomLimit() && y_ > yAfterHeader_ && !inHandler_) {
        newPage();
        if (afterBreak)
            afterBreak();
    }
    for (TextItem item : row.items) {
        item.box.translate(0, y_);
        pages_.last().items.append(item);
    }
    y_ += row.height;
}

void Document::paragraph(const QString& text) {
    ensurePage();
    const TextMeasure measure(font_);
    for (const QString& line : measure.wrap(text, printableWidth())) {
        Row row;
        row.height = measure.lineHeight();
        if (!line.trimmed().isEmpty())
            row.items.append(TextItem{QRectF(margins_.left, 0, printableWidth(), row.height), font_,
                                      Align::Left, line,
                                      measure.width(line) > printableWidth() + 0.5});
        placeRow(row);
    }
}

void Document::tableText(const QString& formatAndCells) {
    const TableText table = parseTableText(formatAndCells);
    for (const QStringList& cells : table.rows)
        placeRow(layoutRow(table.columns, cells, font_.bold));
}

void Document::addTable(const QString& format, const QString& header, const QString& body) {
    const QList<Column> columns = parseColumnFormat(format);
    const double lineHeight = TextMeasure(font_).lineHeight();
    for (int i = leadingLineFeeds(format); i > 0; --i)
        placeRow(Row{{}, lineHeight});

    QList<Row> headerRows;
    if (!header.isEmpty())
        for (const QStringList& cells : parseRows(header))
            headerRows.append(layoutRow(columns, cells, true));
    for (const Row& row : headerRows)
        placeRow(row);
    // The header is repeated at the top of every page the table continues on.
    const auto repeatHeader = [this, &headerRows] {
        for (const Row& row : headerRows)
            placeRow(row);
    };
    if (body.isEmpty())
        return;
    for (const QStringList& cells : parseRows(body))
        placeRow(layoutRow(columns, cells, font_.bold), repeatHeader);
}

} // namespace vx::output
