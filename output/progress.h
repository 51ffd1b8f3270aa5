#pragma once
// What the report code calls while it produces a document: the event pump with the report's
// cancel flag, the busy pointer, and the progress display of long reports.
//
// The progress display is behind ProgressView: the windowed program shows the progress window
// (a count and a cancel button), a batch run on a terminal a line on stderr; with no view
// installed nothing is shown. The display appears only once a report has been busy for a moment,
// so short reports never flash a window.

#include <QString>
#include <cstdint>

namespace vx::output {

struct ReportProgressState {
    // The user asked to cancel the report (the progress window's cancel button). The event pump
    // clears it before it lets events run, so it is read right after a pump.
    bool gbCancelReport = false;
    // Sticky: the report saw the cancel request; the run drops its document.
    bool gbReportCancelled = false;
};
ReportProgressState& reportProgress();
void resetReportProgress();

// A display of the running report's progress.
// Contract: show() may be called often (the caller throttles it to a few times a second);
// close() removes the display and may be called when nothing is shown. A view that offers a
// cancel button sets reportProgress().gbCancelReport when it is pressed.
class ProgressView {
  public:
    virtual ~ProgressView() = default;
    virtual void show(const QString& processing, std::int64_t count) = 0;
    virtual void close() = 0;
};

// Installs the view (the caller keeps it alive); nullptr: none.
void setProgressView(ProgressView* view);
// How long a report runs before the display appears, and how often it is updated then
// (defaults 500 and 100 ms; tests set 0).
void setProgressTiming(std::int64_t showAfterMs, std::int64_t updateEveryMs);

// Clears the cancel flag, then lets pending window events run once.
void gpPumpEvents();
// Pumps events and reports whether the user cancelled meanwhile; once true, stays true for the
// run (until resetReportProgress).
bool gfbReportCancelled();
// Tells the display how far the report is: `processing` names the step, `count` the items done.
// Shown once the report has been busy for half a second, then at most ten times a second.
void gpShowProgress(const QString& processing, std::int64_t count);
// Removes the progress display (nothing happens when none is shown).
void gpCloseProgress();
// The busy pointer: the hourglass while on, the arrow when off.
void gpBusyPointer(bool on);

// A view writing one self-overwriting line to stderr, for batch runs on a terminal.
class TerminalProgressView : public ProgressView {
  public:
    void show(const QString& processing, std::int64_t count) override;
    void close() override;

  private:
    bool shown_ = false;
};

// True when stderr is a terminal (a batch run then shows its progress there).
bool stderrIsTerminal();

} // namespace vx::output
