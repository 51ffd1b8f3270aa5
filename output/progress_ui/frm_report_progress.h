#pragma once
// The progress window of long reports: "Processing", a count, and a cancel button that asks
// the running report to stop. One shared instance, created when a report first shows progress.

#include "output/progress.h"

#include <QDialog>
#include <memory>

class QLabel;
class QPushButton;

namespace vx::output {

class frmReportProgress : public QDialog {
    Q_OBJECT
  public:
    explicit frmReportProgress(QWidget* parent = nullptr);

    QLabel* lblProcessing = nullptr;
    QLabel* lblCount = nullptr;
    QPushButton* cmdCancel = nullptr;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void cmdCancel_Click();
};

// The progress display of the windowed program: shows the shared frmReportProgress with the
// step and the count; close() unloads it.
class WindowProgressView : public ProgressView {
  public:
    WindowProgressView();
    ~WindowProgressView() override;
    void show(const QString& processing, std::int64_t count) override;
    void close() override;
    frmReportProgress* window() const { return form_.get(); }

  private:
    std::unique_ptr<frmReportProgress> form_; // a top-level window: no parent owns it
};

} // namespace vx::output
