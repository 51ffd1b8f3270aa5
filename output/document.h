#pragma once
// The document laid out into pages: what the preview shows, the printer prints and the PDF holds.
//
// The paper is Letter (12240 x 15840 twips) when the locale measures in inches, A4 otherwise;
// it is chosen when the document starts. startDoc opens the first page and runs the page-start
// handler at once, so the page header is in place (and any question it asks answered) before the
// body is written. A row that does not fit below the current position starts a new page, unless
// nothing but the page header is on the page yet. Table cells have a small inner padding; the
// footer is drawn inside the bottom margin in the font current when it was set (not bold).
// Pages are numbered from 1.

#include "output/page_layout.h"
#include "output/pdf_info.h"
#include "output/report_printer.h"

#include <QPainter>
#include <QSizeF>
#include <optional>

namespace vx::output {

// What a viewer of the document hears while the document is produced. A page counts as produced
// once it is complete: when the next page starts, or at endDoc for the last one.
struct DocumentEvents {
    std::function<void(int page)> pageProduced; // page `page` (from 1) is complete
    std::function<void()> ended;                // endDoc was called (with or without pages)
};

struct FindResult {
    int page = 0;
    QRectF rect; // twips; the found text's bounds on the page
};

class Document : public ReportPrinter {
  public:
    Document();

    void setFontName(const QString& name) override { font_.family = name; }
    void setFontSize(double points) override { font_.size = points; }
    double fontSize() const override { return font_.size; }
    void setFontBold(bool bold) override { font_.bold = bold; }
    bool fontBold() const override { return font_.bold; }
    QString fontName() const { return font_.family; }
    void setHeaderStyle(int style) override { headerStyle_ = style; }
    int headerStyle() const override { return headerStyle_; }
    void setMargins(int left, int top, int right, int bottom) override;
    void setFooter(const QString& footer) override;
    void setDocumentInfo(const QString& title, const QString& author) override {
        title_ = title;
        author_ = author;
    }

    void startDoc() override;
    void endDoc() override;
    void abandonDoc() override;
    bool isOpen() const { return open_; }

    void paragraph(const QString& text) override;
    void tableText(const QString& formatAndCells) override;
    void addTable(const QString& format, const QString& header, const QString& body) override;

    void setPageStartHandler(std::function<void(ReportPrinter&)> handler) override;
    // Replaces the listeners of the document's events (empty members: nobody listens).
    void setEvents(DocumentEvents events) { events_ = std::move(events); }
    int pageCount() const override { return static_cast<int>(pages_.size()); }

    // Layout results.
    QSizeF pageSize() const { return pageSize_; } // twips
    const Page& page(int number) const { return pages_.at(number - 1); }
    // Drops what page `number` holds, keeping its place in the count: a run that has handed a
    // page on (to a file) need not keep it. A released page is empty.
    void releasePage(int number) { pages_[number - 1] = Page{}; }
    double currentY() const { return y_; }

    // The first match of `text` (case-insensitive, within one line of text) on page `fromPage` or
    // later whose top is at or below `afterY` on `fromPage`; pages before 1 count as 1.
    std::optional<FindResult> find(const QString& text, int fromPage, double afterY = 0) const;

    // Draws page `number` with `scale` device units per twip, from the painter's origin.
    void renderPage(QPainter& painter, int number, double scale) const;
    bool writePdf(const QString& path, QString* error) const;
    // The pages as plain text: one line per line of items, cells at their columns, the footer
    // last, "\f" between pages.
    QString textDump() const;
    // One page of the text dump (without the "\f").
    QString pageText(int number) const;
    // What a PDF of the document names as its title, author and creator.
    PdfInfo pdfInfo() const;

  private:
    struct Row {
        QList<TextItem> items; // boxes relative to the row's top
        double height = 0;
    };
    Row layoutRow(const QList<Column>& columns, const QStringList& cells, bool bold) const;
    void placeRow(const Row& row, const std::function<void()>& afterBreak = {});
    void ensurePage();
    void newPage();
    double bottomLimit() const { return pageSize_.height() - margins_.bottom; }
    double printableWidth() const { return pageSize_.width() - margins_.left - margins_.right; }

    struct Margins {
        int left = 720, top = 720, right = 720, bottom = 720;
    };
    FontSpec font_;
    FontSpec footerFont_;
    int headerStyle_ = 0;
    Margins margins_;
    QString footer_;
    QString title_, author_;
    QSizeF pageSize_;
    QList<Page> pages_;
    double y_ = 0;
    double yAfterHeader_ = 0; // where the body of the current page starts
    bool open_ = false;
    bool inHandler_ = false;
    std::function<void(ReportPrinter&)> pageStart_;
    DocumentEvents events_;
};

// The paper of the user's locale in twips: Letter for the US measuring system, else A4.
QSizeF localePaperSize();

} // namespace vx::output
