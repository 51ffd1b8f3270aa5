#include "output/document.h"

#include "platform/regional.h"

#include <QRegularExpression>
#include <algorithm>

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
        const double inner = width - 2 * pad;
        const QString text = i < cells.size() ? cells[i] : QString();
        const QStringList lines =
            c.oneLine ? QStringList{oneLine(text)} : measure.wrap(text, inner);
        for (qsizetype l = 0; l < lines.size(); ++l) {
            if (lines[l].trimmed().isEmpty())
                continue;
            const QRectF box(x + pad, l * lineHeight, inner, lineHeight);
            row.items.append(
                TextItem{box, spec, c.align, lines[l], measure.width(lines[l]) > inner + 0.5});
        }
        row.height = std::max(row.height, lines.size() * lineHeight);
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
