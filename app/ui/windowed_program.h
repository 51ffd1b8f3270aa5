#pragma once
// What the windowed program adds to start-up, installed for the life of one object: the print
// preview the report runs into, the station and data path dialog the settings layer shows, the
// progress window, and the report specifications dialog that drives the program when the
// command line gives no start date.

#include "app/ui/preview_run.h"

#include <memory>

namespace vx {

class QtDataPathDialog;
namespace output {
class WindowProgressView;
}

class WindowedProgram {
  public:
    WindowedProgram();
    ~WindowedProgram();
    WindowedProgram(const WindowedProgram&) = delete;
    WindowedProgram& operator=(const WindowedProgram&) = delete;

    PreviewReportHost& preview() { return *preview_; }

  private:
    std::unique_ptr<PreviewReportHost> preview_;
    std::unique_ptr<QtDataPathDialog> dataPath_;
    std::unique_ptr<output::WindowProgressView> progress_;
};

// Step 7 with a window: shows the report specifications dialog, whose OK runs the report into
// the preview; lets window events run until the dialog ends (Exit or closing), then unloads the
// preview. The exit status is 0.
int gfiSpecDialogRun(PreviewReportHost& host);

} // namespace vx
