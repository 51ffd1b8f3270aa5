#pragma once
// A ReportPrinter that records every call as one readable line, for tests of report builders:
//   "font Arial", "size 10", "bold on", "bold off", "header style 0", "margins 720 720 720 720",
//   "footer Title|Page %d|1/2/2024", "start", "end", "abandon", "paragraph Some text",
//   "table <2700|^1400;a|b;", "add <~1200|<~2000; [header] body"
// Line feeds and carriage returns inside texts are written as "\n" and "\r".
// No pages are laid out. Pages are simulated only when told: with simulatePages(true), startDoc
// starts page 1 and newPage() starts another one; each runs the page-start handler after
// recording "page N".

#include "output/report_printer.h"

#include <QStringList>

namespace vx::output {

class RecordingPrinter : public ReportPrinter {
  public:
    void setFontName(const QString& name) override;
    void setFontSize(double points) override;
    double fontSize() const override { return size_; }
    void setFontBold(bool bold) override;
    bool fontBold() const override { return bold_; }
    void setHeaderStyle(int style) override;
    int headerStyle() const override { return headerStyle_; }
    void setMargins(int left, int top, int right, int bottom) override;
    void setFooter(const QString& footer) override;
    void setDocumentInfo(const QString& title, const QString& author) override;
    void startDoc() override;
    void endDoc() override;
    void abandonDoc() override;
    void paragraph(const QString& text) override;
    void tableText(const QString& formatAndCells) override;
    void addTable(const QString& format, const QString& header, const QString& body) override;
    void setPageStartHandler(std::function<void(ReportPrinter&)> handler) override;
    int pageCount() const override { return pages_; }

    void simulatePages(bool on) { simulate_ = on; }
    // Starts a further page as a page break would (only while pages are simulated).
    void newPage();

    const QStringList& calls() const { return calls_; }
    // The recorded calls that start with `prefix` ("table ", "bold").
    QStringList calls(const QString& prefix) const;
    void clear() { calls_.clear(); }
    QString fontName() const { return name_; }
    bool started() const { return started_; }
    bool ended() const { return ended_; }
    bool abandoned() const { return abandoned_; }

  private:
    void record(const QString& line);

    QStringList calls_;
    QString name_ = QStringLiteral("Arial");
    double size_ = 10;
    bool bold_ = false;
    int headerStyle_ = 0;
    int pages_ = 0;
    bool simulate_ = false;
    bool started_ = false;
    bool ended_ = false;
    bool abandoned_ = false;
    std::function<void(ReportPrinter&)> pageStart_;
};

} // namespace vx::output
