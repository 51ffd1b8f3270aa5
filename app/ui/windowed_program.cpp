#include "app/ui/windowed_program.h"

#include "app/startup.h"
#include "datapath/datapath_dialog.h"
#include "datapath/ui/frm_sm_datapath2.h"
#include "output/progress.h"
#include "output/progress_ui/frm_report_progress.h"
#include "reportspec/ui/frm_report_specs.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace vx {

WindowedProgram::WindowedProgram()
    : preview_(std::make_unique<PreviewReportHost>()),
      dataPath_(std::make_unique<QtDataPathDialog>()),
      progress_(std::make_unique<output::WindowProgressView>()) {
    setDataPathDialog(dataPath_.get());
    output::setProgressView(progress_.get());
    WindowedStart start;
    start.previewRun = [this] { return gfiPreviewRun(*preview_); };
    start.specDialog = [this] { return gfiSpecDialogRun(*preview_); };
    setWindowedStart(std::move(start));
}

WindowedProgram::~WindowedProgram() {
    setWindowedStart({});
    output::setProgressView(nullptr);
    setDataPathDialog(nullptr);
}

int gfiSpecDialogRun(PreviewReportHost& host) {
    report::ReportHost* previous = report::reportHost();
    report::setReportHost(&host);
    bool ended = false;
    {
        frmReportSpecs dialog({[] { report::gpRunReport(); }, [&ended] { ended = true; }});
        dialog.show();
        // The dialog drives the program: each OK runs the report into the preview; Exit or
        // closing the dialog ends it.
        while (!ended)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    host.unloadPreview();
    report::setReportHost(previous);
    return 0;
}

} // namespace vx
