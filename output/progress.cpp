#include "output/progress.h"

#include "platform/runtime.h"

#include <QElapsedTimer>
#include <cstdio>
#include <unistd.h>

namespace vx::output {

namespace {

struct ProgressSlot {
    ProgressView* view = nullptr;
    QElapsedTimer busy;     // since the first progress of the report
    QElapsedTimer lastShow; // since the display was last updated
    bool shown = false;
    qint64 showAfterMs = 500;
    qint64 updateEveryMs = 100;
};

ProgressSlot& slot() {
    static ProgressSlot s;
    return s;
}

} // namespace

ReportProgressState& reportProgress() {
    static ReportProgressState state;
    return state;
}

void resetReportProgress() {
    reportProgress() = ReportProgressState{};
    gpCloseProgress();
}

void setProgressView(ProgressView* view) {
    gpCloseProgress();
    slot().view = view;
}

void setProgressTiming(std::int64_t showAfterMs, std::int64_t updateEveryMs) {
    slot().showAfterMs = showAfterMs;
    slot().updateEveryMs = updateEveryMs;
}

void gpPumpEvents() {
    reportProgress().gbCancelReport = false;
    pumpEvents();
}

bool gfbReportCancelled() {
    ReportProgressState& st = reportProgress();
    gpPumpEvents();
    if (st.gbCancelReport)
        st.gbReportCancelled = true;
    return st.gbReportCancelled;
}

void gpShowProgress(const QString& processing, std::int64_t count) {
    ProgressSlot& s = slot();
    if (!s.view)
        return;
    if (!s.busy.isValid())
        s.busy.start();
    if (s.busy.elapsed() < s.showAfterMs)
        return;
    if (s.shown && s.lastShow.elapsed() < s.updateEveryMs)
        return;
    s.view->show(processing, count);
    s.shown = true;
    s.lastShow.start();
}

void gpCloseProgress() {
    ProgressSlot& s = slot();
    if (s.view && s.shown)
        s.view->close();
    s.shown = false;
    s.busy.invalidate();
}

void gpBusyPointer(bool on) {
    setPointer(on ? Pointer::Hourglass : Pointer::Default);
}

void TerminalProgressView::show(const QString& processing, std::int64_t count) {
    std::fprintf(stderr, "\r%s %lld\033[K", processing.toLocal8Bit().constData(),
                 static_cast<long long>(count));
    std::fflush(stderr);
    shown_ = true;
}

void TerminalProgressView::close() {
    if (!shown_)
        return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    shown_ = false;
}

bool stderrIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

} // namespace vx::output
