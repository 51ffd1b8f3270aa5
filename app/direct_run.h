#pragma once
// A direct run without a preview window: the report is laid out into a document that is
// written as PDF (the --pdf file, or "RptVantrex.pdf" in the program folder).

#include "app/report/report_run.h"
#include "output/document.h"

#include <QString>
#include <functional>
#include <memory>

namespace vx {

// The report host of a run that shows no window: it keeps the document for writing afterwards.
class DocumentReportHost : public report::ReportHost {
  public:
    output::ReportPrinter& printer() override;
    void unloadPreview() override { unloaded_ = true; }

    // True when the run produced pages to show.
    bool hasDocument() const { return doc_ && !unloaded_ && doc_->pageCount() > 0; }
    output::Document* document() { return doc_.get(); }
    // Called with each page of the document as soon as the page is complete. Once the listener
    // has returned the page's contents are dropped (the document keeps its page count), so a
    // long run holds only the page being laid out.
    void setPageListener(std::function<void(const output::Document&, int page)> listener) {
        onPage_ = std::move(listener);
    }

  private:
    std::unique_ptr<output::Document> doc_;
    std::function<void(const output::Document&, int)> onPage_;
    bool unloaded_ = false;
};

// Step 8 before the report runs: marks the run as started from the command line and, unless it
// is a VAT run, fills what the command line left blank from the specification file.
void gpPrepareDirectRun();

// Steps 8 to 10 of start-up for a run with a start date: reads the specification file (not for a
// VAT run), runs the report and writes its document to `pdfFile` (empty: "RptVantrex.pdf" in the
// program folder), naming the path on stderr; with a `textFile` its pages also go there as plain
// text (and then without a `pdfFile` no PDF is written). Returns the exit status.
int gfiDirectRun(const QString& pdfFile, const QString& textFile = QString());

} // namespace vx
