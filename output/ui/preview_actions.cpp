// The print preview window at work: the document's events, navigation, zoom, search, Close and
// unloading.
#include "output/ui/print_preview.h"

#include "platform/messages.h"
#include "platform/runtime.h"
#include "runstate/runstate.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

namespace vx::output {

Document& frmSMPRNT_PREVIEW::newDocument() {
    std::erase_if(retired_, [](const Retired& r) { return r.done; });
    if (doc_) {
        doc_->setEvents({});
        if (docDone_) {
            doc_.reset();
        } else {
            // A report may still be writing into it: keep it until its writer ends it.
            Document* old = doc_.get();
            old->setEvents({.ended = [this, old] {
                for (Retired& r : retired_)
                    if (r.doc.get() == old)
                        r.done = true;
            }});
            retired_.push_back({std::move(doc_), false});
        }
    }
    if (inProgress_) {
        inProgress_ = false;
        setPointer(Pointer::Default);
    }
    if (!loaded_)
        Form_Load();
    doc_ = std::make_unique<Document>();
    docDone_ = false;
    produced_ = 0;
    searchPage_ = 0;
    searchPosition_ = 0;
    Document* doc = doc_.get();
    doc->setEvents({.pageProduced = [this, doc](int page) { onPageProduced(doc, page); },
                    .ended = [this, doc] { onEnded(doc); }});
    listening_ = true;
    vsvPrinter->setDocument(doc);
    vsvPrinter->setPage(0);
    showPageText();
    return *doc;
}

int frmSMPRNT_PREVIEW::pageCount() const {
    if (!doc_)
        return 0;
    // While the document is produced only its finished pages count.
    return inProgress_ ? produced_ : doc_->pageCount();
}

void frmSMPRNT_PREVIEW::setShowPOHandler(std::function<bool(const QString&)> handler) {
    showPO_ = std::move(handler);
}

void frmSMPRNT_PREVIEW::setServices(PreviewServices services) {
    services_ = std::move(services);
}

void frmSMPRNT_PREVIEW::onPageProduced(const Document* doc, int page) {
    if (doc != doc_.get() || !listening_)
        return;
    produced_ = page;
    if (page == 1) {
        inProgress_ = true;
        vsvPrinter->setPage(1);
        show();
        raise();
        activateWindow();
        setPointer(Pointer::ArrowHourglass);
        disable_print();
    }
    refreshPageDisplay();
}

void frmSMPRNT_PREVIEW::onEnded(const Document* doc) {
    if (doc != doc_.get())
        return;
    if (!endingOurselves_)
        docDone_ = true;
    if (!listening_)
        return;
    const bool wasInProgress = inProgress_;
    inProgress_ = false;
    setPointer(Pointer::Default);
    if (doc_->pageCount() == 0) {
        // The report dropped its document: there is nothing to show.
        if (wasInProgress)
            hide();
        refreshPageDisplay();
        return;
    }
    refreshPageDisplay();
    if (!isVisible())
        show();
    enable_print();
}

void frmSMPRNT_PREVIEW::stopListening() {
    listening_ = false;
    if (inProgress_) {
        inProgress_ = false;
        setPointer(Pointer::Default);
    }
}

void frmSMPRNT_PREVIEW::refreshPageDisplay() {
    multiPage_ = pageCount() != 1;
    for (QPushButton* button : cmdMove)
        button->setEnabled(multiPage_);
    showPageText();
    vsvPrinter->refresh();
}

void frmSMPRNT_PREVIEW::showPageText() {
    lblPageOf->setText(QStringLiteral("Page %1 of %2").arg(previewPage()).arg(pageCount()));
}

void frmSMPRNT_PREVIEW::cmdMove_Click(int index) {
    const int count = pageCount();
    int page = previewPage();
    switch (index) {
    case 0:
        page = 1;
        break;
    case 1:
        page = page + 1;
        break;
    case 2:
        page = page - 1;
        break;
    case 3:
        page = count;
        break;
    default:
        return;
    }
    vsvPrinter->setPage(count > 0 ? std::clamp(page, 1, count) : 0);
    showPageText();
}

void frmSMPRNT_PREVIEW::disable_print() {
    cmdPrint->setEnabled(false);
    for (QAction* item : mnuPrint_item)
        item->setEnabled(false);
}

void frmSMPRNT_PREVIEW::enable_print() {
    cmdPrint->setEnabled(true);
    for (QAction* item : mnuPrint_item)
        item->setEnabled(true);
}

void frmSMPRNT_PREVIEW::cboZoom_Click(int index) {
    vsvPrinter->setZoom((index + 1) * 25);
}

bool frmSMPRNT_PREVIEW::cboZoom_KeyPress(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        applyZoomText();
        return true;
    }
    const QString text = event->text();
    // Keys that type nothing (arrows, Tab, Delete) keep their usual meaning.
    if (text.isEmpty() || event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)
        return false;
    if (text.size() == 1 && text[0] >= u'0' && text[0] <= u'9') {
        if (cboZoom->currentText().endsWith(u'%'))
            cboZoom->lineEdit()->clear();
        return false;
    }
    return true;
}

void frmSMPRNT_PREVIEW::applyZoomText() {
    const QString text = cboZoom->currentText().trimmed();
    if (text.endsWith(u'%'))
        return;
    if (text.isEmpty()) {
        showZoom(); // no number: the zoom stays as it is
        return;
    }
    // The leading digits, as a number: anything after them does not count.
    qsizetype digits = 0;
    while (digits < text.size() && text[digits].isDigit() && digits < 9)
        ++digits;
    vsvPrinter->setZoom(text.left(digits).toInt());
    showZoom();
}

void frmSMPRNT_PREVIEW::showZoom() {
    const QString shown = QStringLiteral("%1%").arg(vsvPrinter->zoom(), 3);
    // The list follows a zoom that is one of its entries, so the arrow keys step on from the
    // zoom shown rather than from the entry chosen last (choosing raises no click here).
    const int entry = cboZoom->findText(shown);
    if (entry >= 0)
        cboZoom->setCurrentIndex(entry);
    cboZoom->setEditText(shown);
}

void frmSMPRNT_PREVIEW::txtFind_Change() {
    const bool any = !txtFind->text().isEmpty();
    cmdFind[0]->setEnabled(any);
    cmdFind[1]->setEnabled(any);
    if (!cmdFind[3]->isHidden())
        cmdFind[3]->setEnabled(any);
}

void frmSMPRNT_PREVIEW::cmdFind_Click(int index) {
    const QString text = txtFind->text();
    if (index == 0) {
        if (text.trimmed().isEmpty()) {
            MsgBox(QStringLiteral("Please enter value for which to search"), MsgButtons::Ok,
                   MsgIcon::None, QStringLiteral("Search for ???"));
            txtFind->setFocus();
            return;
        }
        searchPage_ = 0;
        searchPosition_ = 0;
    }
    if (index == 1 && cmdFind[1]->text() == QLatin1String("Reprint Tags"))
        return;
    if (index == 3 && !text.isEmpty()) {
        if (!showPO_ || !showPO_(text.toUpper())) {
            MsgBox(QStringLiteral("PO Not found"));
            txtFind->setFocus();
        }
        return;
    }
    const std::optional<FindResult> found =
        doc_ ? doc_->find(text, searchPage_, searchPosition_) : std::nullopt;
    if (!found) {
        searchPage_ = 0;
        searchPosition_ = 0;
        MsgBox(QStringLiteral("The document has been searched.\rCannot find the string '") + text +
                   u'\'',
               MsgButtons::Ok, MsgIcon::Information, QStringLiteral("Not Found"));
        return;
    }
    searchPage_ = found->page;
    searchPosition_ = found->rect.bottom();
    showMatch(*found);
}

void frmSMPRNT_PREVIEW::showMatch(const FindResult& found) {
    vsvPrinter->setPage(found.page);
    showPageText();
    vsvPrinter->setHighlight(found.page, found.rect);
    vsvPrinter->ensureRectVisible(found.rect);
}

void frmSMPRNT_PREVIEW::cmdClose_Click() {
    stopListening();
    if (doc_)
        doc_->abandonDoc();
    vsvPrinter->clearHighlight();
    refreshPageDisplay();
    activated_ = false;
    if (runState().gbDirectRun)
        runState().gbPreviewDone = true;
    hide();
}

void frmSMPRNT_PREVIEW::unload() {
    const bool wasInProgress = inProgress_;
    stopListening();
    if (wasInProgress && doc_) {
        // Ended here, not by its writer: a report may still be writing into it.
        endingOurselves_ = true;
        doc_->endDoc();
        endingOurselves_ = false;
    }
    runState().gbPreviewDone = true;
    loaded_ = false;
    hide();
}

void frmSMPRNT_PREVIEW::closeEvent(QCloseEvent* event) {
    unload();
    event->accept();
}

} // namespace vx::output
