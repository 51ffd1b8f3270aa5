#pragma once
// frmSMPRNT_PREVIEW, the print preview window: every report is produced into its document and
// the user pages, zooms, searches, prints, saves or mails it from here.
//
// The window owns its document. newDocument() hands out a fresh one; its page events drive the
// window: at the first finished page the window appears with the busy pointer and the print
// commands disabled, every finished page refreshes the page display, and the end of the document
// restores the pointer and enables printing. The caller installs the page header routine
// (Document::setPageStartHandler) itself. Keys reach the window before its controls.

#include "output/document.h"
#include "output/ui/page_view.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;

namespace vx::output {

// The platform services the print, save and mail commands use. An empty member means the real
// one: the default printer, the printer dialog, the file dialog, running xdg-email.
struct PreviewServices {
    // The printer to print on, or nullptr when the machine has none. Kept alive by the provider.
    std::function<QPrinter*()> printer;
    std::function<void(QPrinter& printer, QWidget* parent)> printerSetup;
    // The save dialog: the chosen file, empty when cancelled.
    std::function<QString(QWidget* parent, const QString& folder, const QString& filter,
                          const QString& suffix)>
        saveFileName;
    // Runs the mail program and waits for it; false with `error` set when it failed.
    std::function<bool(const QString& program, const QStringList& args, QString* error)> runMailer;
};

class frmSMPRNT_PREVIEW : public QMainWindow {
    Q_OBJECT
  public:
    explicit frmSMPRNT_PREVIEW(QWidget* parent = nullptr);
    ~frmSMPRNT_PREVIEW() override;

    // Drops the present document (unless a report may still be writing into it) and returns a
    // fresh, empty one whose events drive the window. Loads the window again after unload().
    Document& newDocument();
    Document* document() { return doc_.get(); }

    // F6 "Show PO": called with the search text in upper case; false means no such order.
    void setShowPOHandler(std::function<bool(const QString& upperNumber)> handler);
    void setServices(PreviewServices services);

    void cmdPrint_Click();
    void cmdSave_Click();
    void cmdSendMail_Click();
    void disable_print();
    void enable_print();

    void cmdMove_Click(int index);
    void cmdFind_Click(int index);
    void cmdClose_Click();
    // 0 all pages, 1 the page shown.
    void mnuPrint_item_Click(int index);
    void mnuPrinterSetup_Click();
    // Ends a document in progress, hides the window and tells the start-up the preview is done.
    void unload();

    // Page display state.
    int zoom() const { return vsvPrinter->zoom(); }
    int previewPage() const { return vsvPrinter->page(); }
    int pageCount() const;
    bool multiPage() const { return multiPage_; }
    bool documentInProgress() const { return inProgress_; }
    bool activated() const { return activated_; }
    bool closing() const { return closing_; }
    int searchPage() const { return searchPage_; }
    double searchPosition() const { return searchPosition_; }

    // The controls.
    QWidget* elsMain = nullptr;
    QFrame* elsButtons = nullptr;
    PageView* vsvPrinter = nullptr;
    std::array<QPushButton*, 4> cmdMove{};
    QComboBox* cboZoom = nullptr;
    QLabel* lblPageOf = nullptr;
    QLineEdit* txtFind = nullptr;
    std::array<QPushButton*, 4> cmdFind{};
    QPushButton* cmdClose = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdSendMail = nullptr;
    QMenu* mnuPrint = nullptr;
    QAction* mnuPrinterSetup = nullptr;
    std::array<QAction*, 2> mnuPrint_item{};
    QAction* mnuPrint_Save = nullptr;
    QAction* mnuPrint_Mail = nullptr;
    QAction* mnuPrint_sep1 = nullptr;
    QAction* mnuPrint_exit = nullptr;
    QMenu* mnuHelp = nullptr;
    std::array<QAction*, 2> mnuHelp_item{};

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void buildControls();
    void buildMenus();
    void Form_Load();
    void Form_Activate();
    void placeButtons();
    bool Form_KeyDown(QObject* target, QKeyEvent* event);
    bool cboZoom_KeyPress(QKeyEvent* event);
    void cboZoom_Click(int index);
    void applyZoomText();
    void showZoom();
    void refreshPageDisplay();
    void showPageText();
    void txtFind_Change();
    void showMatch(const FindResult& found);
    void onPageProduced(const Document* doc, int page);
    void onEnded(const Document* doc);
    void stopListening();
    void printPages(bool currentOnly);
    QPrinter* currentPrinter();
    void saveAsCsv(const QString& dataPath);

    // A document is freed only once its writer has ended it (endDoc), so that a report still
    // writing into a dropped document never writes into freed memory.
    struct Retired {
        std::unique_ptr<Document> doc;
        bool done = false;
    };
    std::unique_ptr<Document> doc_;
    bool docDone_ = true;
    std::vector<Retired> retired_;
    bool endingOurselves_ = false;
    bool listening_ = false;
    bool loaded_ = false;
    int produced_ = 0;
    bool multiPage_ = false, inProgress_ = false, closing_ = false, activated_ = false;
    bool suspendedByDialog_ = false;
    bool passingKeyOn_ = false;
    int searchPage_ = 0;
    double searchPosition_ = 0;
    std::function<bool(const QString&)> showPO_;
    PreviewServices services_;
    std::unique_ptr<QPrinter> printer_;
};

} // namespace vx::output
