#pragma once
// The report's runs shown in the print preview: the report host over the one preview window of
// the program, which also prints a received purchase order on "F6 Show PO", and the direct run
// that waits until the user is done with the preview.

#include "app/report/report_run.h"
#include "output/ui/print_preview.h"

#include <memory>

namespace vx {

class PreviewReportHost : public report::ReportHost {
  public:
    PreviewReportHost();
    ~PreviewReportHost() override;

    output::ReportPrinter& printer() override;
    void unloadPreview() override;

    output::frmSMPRNT_PREVIEW& window() { return *window_; }
    // True when the last run's document is in the preview (it was not unloaded and has pages).
    bool showsDocument() const;

  private:
    bool showPO(const QString& number);

    std::unique_ptr<output::frmSMPRNT_PREVIEW> window_; // a top-level window: no parent owns it
    bool unloaded_ = true;
};

// Steps 8 to 10 with the preview: runs the report into the host's window, lets window events run
// until the preview is done (gbPreviewDone), then unloads the preview. The exit status: a
// document was shown, or there was nothing to show.
int gfiPreviewRun(PreviewReportHost& host);

} // namespace vx
