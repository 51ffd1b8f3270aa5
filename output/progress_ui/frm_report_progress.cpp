#include "output/progress_ui/frm_report_progress.h"

#include "platform/messages.h"
#include "util/ui/forms.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace vx::output {

frmReportProgress::frmReportProgress(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmReportProgress"));
    setWindowTitle(productName());
    setModal(false);

    lblProcessing = new QLabel(QStringLiteral("Processing"), this);
    lblProcessing->setObjectName(QStringLiteral("lblProcessing"));
    lblCount = new QLabel(this);
    lblCount->setObjectName(QStringLiteral("lblCount"));
    lblCount->setMinimumWidth(120);
    lblCount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    cmdCancel = new QPushButton(QStringLiteral("Esc/Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });

    auto* labels = new QHBoxLayout;
    labels->addWidget(lblProcessing);
    labels->addStretch();
    labels->addWidget(lblCount);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(labels);
    layout->addWidget(cmdCancel, 0, Qt::AlignHCenter);
    gpSetFormFonts(this);
    setMinimumWidth(280);
}

void frmReportProgress::cmdCancel_Click() {
    reportProgress().gbCancelReport = true;
}

void frmReportProgress::keyPressEvent(QKeyEvent* event) {
    // Esc is the cancel button, not the dialog's own "reject".
    if (event->key() == Qt::Key_Escape) {
        cmdCancel_Click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmReportProgress::closeEvent(QCloseEvent* event) {
    // Closing the window by its frame while the report runs asks the report to stop.
    if (isVisible())
        cmdCancel_Click();
    QDialog::closeEvent(event);
}

WindowProgressView::WindowProgressView() = default;

WindowProgressView::~WindowProgressView() = default;

void WindowProgressView::show(const QString& processing, std::int64_t count) {
    if (!form_)
        form_ = std::make_unique<frmReportProgress>();
    form_->lblProcessing->setText(processing);
    form_->lblCount->setText(QLocale().toString(static_cast<qlonglong>(count)));
    if (!form_->isVisible())
        form_->show();
}

void WindowProgressView::close() {
    if (!form_)
        return;
    form_->hide(); // hidden first, so that unloading is not taken as a cancel request
    form_.reset();
}

} // namespace vx::output
