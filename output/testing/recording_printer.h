#pragma once
// A ReportPrinter that records each call as one line: "size 9", "margins 720 720 720 720",
// "info Title|Author", "start", "table <900|<4000;a|b;", "add <~1200 [Head] a;", "end",
// "abandon", line breaks in texts written as "\n" and "\r". With simulatePages(true), startDoc
// also starts page 1: it records "page 1" and runs the page-start handler.

#include "output/report_printer.h"

#include <QStringList>

namespace vx::output {

class RecordingPrinter : public ReportPrinter {
  public:
    void setFontName(const QString& name) override { record("font", name); }
    void setFontSize(double points) override { record("size", size_ = points); }
    double fontSize() const override { return size_; }
    void setFontBold(bool bold) override { record("bold", bold_ = bold); }
    bool fontBold() const override { return bold_; }
    void setHeaderStyle(int style) override { record("header style", style_ = style); }
    int headerStyle() const override { return style_; }
    void setMargins(int l, int t, int r, int b) override { record("margins", l, t, r, b); }
    void setFooter(const QString& footer) override { record("footer", footer); }
    void setDocumentInfo(const QString& title, const QString& author) override {
        record("info", title + u'|' + author);
    }
    void startDoc() override {
        record("start");
        pages_ = 0;
        if (simulate_)
            record("page", ++pages_);
        if (simulate_ && pageStart_)
            pageStart_(*this);
    }
    void endDoc() override { record("end"); }
    void abandonDoc() override {
        pages_ = 0;
        record("abandon");
    }
    void paragraph(const QString& text) override { record("paragraph", text); }
    void tableText(const QString& text) override { record("table", text); }
    void addTable(const QString& format, const QString& header, const QString& body) override {
        record("add", format, u'[' + header + u']', body);
    }
    void setPageStartHandler(std::function<void(ReportPrinter&)> handler) override {
        pageStart_ = std::move(handler);
    }
    int pageCount() const override { return pages_; }

    void simulatePages(bool on) { simulate_ = on; }
    // The recorded calls, or those starting with `prefix` ("table ").
    QStringList calls(const QString& prefix = {}) const {
        QStringList out;
        for (const QString& c : calls_)
            if (c.startsWith(prefix))
                out << c;
        return out;
    }
    void clear() { calls_.clear(); }

  private:
    static QString text(const QString& s) { return s; }
    static QString text(double n) { return QString::number(n); }
    template <class... Args> void record(const char* name, const Args&... args) {
        QStringList line{QLatin1String(name)};
        ((line << text(args)), ...);
        calls_ << line.join(u' ')
                      .replace(u'\r', QLatin1String("\\r"))
                      .replace(u'\n', QLatin1String("\\n"));
    }

    QStringList calls_;
    double size_ = 10;
    bool bold_ = false;
    int style_ = 0, pages_ = 0;
    bool simulate_ = false;
    std::function<void(ReportPrinter&)> pageStart_;
};

} // namespace vx::output
