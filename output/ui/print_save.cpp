// The commands that send the previewed document somewhere: a printer, a PDF file, the CSV file
// another report left in the data path, or mail.
#include "output/ui/print_preview.h"

#include "datapath/clsdatapath.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/runtime.h"
#include "util/files.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

namespace vx::output {

namespace {

const QString kNoPrinter =
    QStringLiteral("No Windows Printers setup you must setup a Printer to Print");

QString realSaveFileName(QWidget* parent, const QString& folder, const QString& filter,
                         const QString& suffix) {
    QFileDialog dialog(parent, QString(), folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void realPrinterSetup(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Printer Setup"));
    dialog.exec();
}

bool realRunMailer(const QString& program, const QStringList& args, QString* error) {
    QProcess process;
    process.start(program, args);
    if (!process.waitForStarted()) {
        // The system's words ("execvp: No such file or directory") mean nothing to a clerk.
        *error = process.error() == QProcess::FailedToStart
                     ? QStringLiteral("no mail program being set up on this computer. Ask "
                                      "whoever looks after it to install one (xdg-utils).")
                     : process.errorString();
        return false;
    }
    process.waitForFinished(-1);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        const QString said = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        *error =
            !said.isEmpty()
                ? said
                : QStringLiteral("%1 ended with status %2").arg(program).arg(process.exitCode());
        return false;
    }
    return true;
}

} // namespace

QPrinter* frmSMPRNT_PREVIEW::currentPrinter() {
    if (services_.printer)
        return services_.printer();
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return nullptr;
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    else if (printer_->printerName() != info.printerName())
        printer_->setPrinterName(info.printerName());
    return printer_.get();
}

void frmSMPRNT_PREVIEW::cmdPrint_Click() {
    printPages(false);
}

void frmSMPRNT_PREVIEW::mnuPrint_item_Click(int index) {
    printPages(index == 1);
}

void frmSMPRNT_PREVIEW::printPages(bool currentOnly) {
    disable_print();
    QPrinter* printer = currentPrinter();
    if (!printer) {
        MsgBox(kNoPrinter);
        return; // the print commands stay disabled until the window is next activated
    }
    const int count = pageCount();
    const int first = currentOnly ? previewPage() : 1;
    const int last = currentOnly ? previewPage() : count;
    if (doc_ && first >= 1 && last <= count && first <= last) {
        printer->setFullPage(true);
        printer->setPageSize(QPageSize(doc_->pageSize() / kTwipsPerInch, QPageSize::Inch, QString(),
                                       QPageSize::FuzzyMatch));
        printer->setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter;
        if (!painter.begin(printer))
            return; // the printer refused: the command ends quietly
        const double scale = printer->resolution() / double(kTwipsPerInch);
        for (int page = first; page <= last; ++page) {
            if (page > first)
                printer->newPage();
            doc_->renderPage(painter, page, scale);
        }
        painter.end();
    }
    enable_print();
}

void frmSMPRNT_PREVIEW::mnuPrinterSetup_Click() {
    QPrinter* printer = currentPrinter();
    if (!printer) {
        MsgBox(kNoPrinter);
        return;
    }
    if (services_.printerSetup)
        services_.printerSetup(*printer, this);
    else
        realPrinterSetup(*printer, this);
}

void frmSMPRNT_PREVIEW::cmdSave_Click() {
    const QString dataPath = gDataPath().DataPath();
    const QString waiting = nativePath(dataPath + QStringLiteral("\\priceLevel.tmp"));
    if (gfbFileExists(waiting)) {
        // Another report left a CSV export here to be saved under a name of the user's choice.
        if (MsgBox(QStringLiteral("Save as csv file for import into Excel"), MsgButtons::YesNo,
                   MsgIcon::None, QStringLiteral("Save Option")) == MsgAnswer::Yes) {
            saveAsCsv(dataPath);
            return;
        }
        QFile::remove(waiting);
    }

    const QString folder = nativePath(dataPath);
    const QString filter = QStringLiteral("(*.pdf)");
    const QString suffix = QStringLiteral("pdf");
    const QString file = services_.saveFileName
                             ? services_.saveFileName(this, folder, filter, suffix)
                             : realSaveFileName(this, folder, filter, suffix);
    setPointer(Pointer::Hourglass);
    QString error;
    const bool failed = !file.trimmed().isEmpty() && doc_ && !doc_->writePdf(file, &error);
    setPointer(Pointer::Default);
    if (failed)
        MsgBox(QStringLiteral("The document could not be written to ") + file + u'\r' + error,
               MsgButtons::Ok, MsgIcon::Critical);
}

void frmSMPRNT_PREVIEW::saveAsCsv(const QString& dataPath) {
    const QDir folder(nativePath(dataPath));
    QString name = nativePath(dataPath + QStringLiteral("\\priceLevel.csv"));
    QString target;
    for (;;) {
        name = InputBox(QStringLiteral("Save file as:"), QStringLiteral("Save as"), name);
        // A cancelled input box saves nothing; the export stays where it is.
        if (name.isEmpty())
            return;
        target = folder.filePath(nativePath(name));
        if (!fileExists(target))
            break;
        if (MsgBox(name + QStringLiteral("already exists. Overwrite?"), MsgButtons::YesNo,
                   MsgIcon::None, QStringLiteral("File save error")) == MsgAnswer::Yes) {
            QFile::remove(target);
            break;
        }
    }
    QFile::rename(folder.filePath(QStringLiteral("priceLevel.tmp")), target);
}

void frmSMPRNT_PREVIEW::cmdSendMail_Click() {
    // The mail program reads the attachment after xdg-email has returned, so the folder stays.
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/vantrex-mail-XXXXXX"));
    folder.setAutoRemove(false);
    QString error;
    setPointer(Pointer::Hourglass);
    bool sent = false;
    if (!folder.isValid()) {
        error = folder.errorString();
    } else if (!doc_) {
        error = QStringLiteral("There is no document.");
    } else {
        const QString file = folder.filePath(QStringLiteral("Report.pdf"));
        const QString program = QStringLiteral("xdg-email");
        const QStringList args{QStringLiteral("--attach"), file};
        sent = doc_->writePdf(file, &error) &&
               (services_.runMailer ? services_.runMailer(program, args, &error)
                                    : realRunMailer(program, args, &error));
    }
    setPointer(Pointer::Default);
    if (!sent) {
        folder.remove();
        MsgBox(QStringLiteral("Sending Mail failed due to ") + error);
    }
}

} // namespace vx::output
