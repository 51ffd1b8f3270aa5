#pragma once
// The document the report writes into: what the report code asks of its printing control, by
// role. One implementation lays the document out into pages (output/document.h) for the preview,
// the printer and PDF; a recording fake lets tests check what a report builder asked for.
//
// Units are twips (1440 per inch). Text goes in as paragraphs or as table text:
//  - table text: a column format ("<2700|^1400|>1400;": per column an alignment "<" left, "^"
//    centred, ">" right, and a width; "|" between columns, ";" ends the format; a "~" after the
//    alignment keeps a cell on one line, clipped), then the cells, "|" between cells, ";" ending a
//    row. Each call prints its row(s) at the current position.
//  - a table added with a format, a header row and a body (rows separated by ";").
// A row that does not fit on the page starts a new page; at every new page the page-start
// callback runs first (the report prints its page header there).

#include <QString>
#include <functional>

namespace vx::output {

class ReportPrinter {
  public:
    virtual ~ReportPrinter() = default;

    virtual void setFontName(const QString& name) = 0;
    virtual void setFontSize(double points) = 0;
    virtual double fontSize() const = 0;
    virtual void setFontBold(bool bold) = 0;
    virtual bool fontBold() const = 0;

    // A state the page header reads to choose its font size (0 or 1); the report sets it to 0.
    virtual void setHeaderStyle(int style) = 0;
    virtual int headerStyle() const = 0;

    // Page margins; the layout keeps them for every page that follows.
    virtual void setMargins(int left, int top, int right, int bottom) = 0;
    // The page footer "left|centre|right"; "%d" stands for the page number.
    virtual void setFooter(const QString& footer) = 0;

    // The title and the author a saved document names in its properties.
    virtual void setDocumentInfo(const QString& title, const QString& author) = 0;

    virtual void startDoc() = 0;
    virtual void endDoc() = 0;
    // Drops the document: nothing is shown or written.
    virtual void abandonDoc() = 0;

    // One paragraph of text (an empty text is an empty line).
    virtual void paragraph(const QString& text) = 0;
    virtual void tableText(const QString& formatAndCells) = 0;
    virtual void addTable(const QString& format, const QString& header, const QString& body) = 0;

    // Called at the start of every page, before anything else is placed on it.
    virtual void setPageStartHandler(std::function<void(ReportPrinter&)> handler) = 0;
    virtual int pageCount() const = 0;
};

} // namespace vx::output
