// The print preview window: its controls and menus, loading and activation, the button layout
// and the keys the window sees before its controls.
#include "output/ui/print_preview.h"

#include "runstate/runstate.h"
#include "util/ui/forms.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <cmath>

namespace vx::output {

namespace {

// Space between the right-hand buttons and from the strip's edge: 100 twips.
int twipsToPixels(int twips) {
    return static_cast<int>(std::lround(twips * 96.0 / kTwipsPerInch));
}
constexpr int kButtonGapTwips = 100;
constexpr int kButtonHeight = 28;

// A button just wide enough for its label in its present font.
void fitWidth(QPushButton* button) {
    QString label = button->text();
    label.remove(u'&');
    button->setFixedWidth(std::max(52, button->fontMetrics().horizontalAdvance(label) + 16));
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setFixedHeight(kButtonHeight);
    return button;
}

} // namespace

frmSMPRNT_PREVIEW::frmSMPRNT_PREVIEW(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmSMPRNT_PREVIEW"));
    setWindowTitle(QStringLiteral("Print Preview"));
    buildControls();
    buildMenus();
    resize(1180, 880);
    qApp->installEventFilter(this);
    Form_Load();
}

frmSMPRNT_PREVIEW::~frmSMPRNT_PREVIEW() {
    qApp->removeEventFilter(this);
}

void frmSMPRNT_PREVIEW::buildControls() {
    elsMain = new QWidget(this);
    elsMain->setObjectName(QStringLiteral("elsMain"));
    auto* main = new QVBoxLayout(elsMain);
    main->setContentsMargins(0, 0, 0, 0);
    main->setSpacing(0);

    elsButtons = new QFrame(elsMain);
    elsButtons->setObjectName(QStringLiteral("elsButtons"));
    elsButtons->setFrameShape(QFrame::StyledPanel);
    elsButtons->setFixedHeight(kButtonHeight + 16);
    auto* strip = new QHBoxLayout(elsButtons);
    strip->setContentsMargins(twipsToPixels(kButtonGapTwips), 0, 0, 0);
    strip->setSpacing(3);

    const QString moveTexts[] = {QStringLiteral("&First"), QStringLiteral("&Next"),
                                 QStringLiteral("Pre&vious"), QStringLiteral("&Last")};
    for (int i = 0; i < 4; ++i) {
        cmdMove[i] = makeButton(elsButtons, QStringLiteral("cmdMove%1").arg(i), moveTexts[i]);
        connect(cmdMove[i], &QPushButton::clicked, this, [this, i] { cmdMove_Click(i); });
        strip->addWidget(cmdMove[i]);
    }
    strip->addSpacing(4);

    cboZoom = new QComboBox(elsButtons);
    cboZoom->setObjectName(QStringLiteral("cboZoom"));
    cboZoom->setEditable(true);
    cboZoom->setInsertPolicy(QComboBox::NoInsert);
    // No completion: "1" would become "100%", and the next digit would start the number anew.
    cboZoom->setCompleter(nullptr);
    cboZoom->addItems({QStringLiteral(" 25%"), QStringLiteral(" 50%"), QStringLiteral(" 75%"),
                       QStringLiteral("100%"), QStringLiteral("125%"), QStringLiteral("150%"),
                       QStringLiteral("175%"), QStringLiteral("200%")});
    cboZoom->setEditText(QStringLiteral("100%"));
    cboZoom->setFixedHeight(kButtonHeight);
    cboZoom->setMinimumWidth(76);
    connect(cboZoom, &QComboBox::activated, this, [this](int index) { cboZoom_Click(index); });
    strip->addWidget(cboZoom);

    lblPageOf = new QLabel(elsButtons);
    lblPageOf->setObjectName(QStringLiteral("lblPageOf"));
    // Room for "Page 888 of 888" without more, so that the strip fits a 1024-pixel screen.
    lblPageOf->setMinimumWidth(
        lblPageOf->fontMetrics().horizontalAdvance(QStringLiteral("Page 888 of 888")) + 8);
    lblPageOf->setAlignment(Qt::AlignCenter);
    strip->addWidget(lblPageOf);

    txtFind = new QLineEdit(elsButtons);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setFixedHeight(kButtonHeight);
    txtFind->setMinimumWidth(80);
    connect(txtFind, &QLineEdit::textChanged, this, [this] { txtFind_Change(); });
    strip->addWidget(txtFind, 1);

    const QString findTexts[] = {QStringLiteral("&Find"), QStringLiteral("Find Next"),
                                 QStringLiteral("Show Invoice"), QStringLiteral("F6 Show PO")};
    for (int i = 0; i < 4; ++i) {
        cmdFind[i] = makeButton(elsButtons, QStringLiteral("cmdFind%1").arg(i), findTexts[i]);
        connect(cmdFind[i], &QPushButton::clicked, this, [this, i] { cmdFind_Click(i); });
        strip->addWidget(cmdFind[i]);
    }
    cmdFind[1]->setEnabled(false);
    for (int i : {2, 3}) {
        cmdFind[i]->setEnabled(false);
        cmdFind[i]->hide();
    }
    strip->addStretch(0);

    // The right-hand buttons are placed by placeButtons, not by the layout.
    cmdClose = makeButton(elsButtons, QStringLiteral("cmdClose"), QStringLiteral("Esc Cancel"));
    cmdPrint = makeButton(elsButtons, QStringLiteral("cmdPrint"), QStringLiteral("F9 &Print"));
    cmdSave = makeButton(elsButtons, QStringLiteral("cmdSave"), QStringLiteral("F7 &Save"));
    cmdSendMail = makeButton(elsButtons, QStringLiteral("cmdSendMail"), QStringLiteral("F8 Email"));
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });
    connect(cmdPrint, &QPushButton::clicked, this, [this] { cmdPrint_Click(); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(cmdSendMail, &QPushButton::clicked, this, [this] { cmdSendMail_Click(); });
    elsButtons->installEventFilter(this);

    vsvPrinter = new PageView(elsMain);
    vsvPrinter->setObjectName(QStringLiteral("vsvPrinter"));
    connect(vsvPrinter, &PageView::zoomChanged, this, [this](int zoom) {
        if (cboZoom->currentText().trimmed() != QString::number(zoom) + u'%')
            showZoom();
    });
    main->addWidget(elsButtons);
    main->addWidget(vsvPrinter, 1);
    setCentralWidget(elsMain);
}

void frmSMPRNT_PREVIEW::buildMenus() {
    const auto action = [this](QMenu* menu, const QString& name, const QString& text) {
        QAction* a = menu->addAction(text);
        a->setObjectName(name);
        return a;
    };
    mnuPrint = menuBar()->addMenu(QStringLiteral("&Print"));
    mnuPrint->setObjectName(QStringLiteral("mnuPrint"));
    mnuPrinterSetup =
        action(mnuPrint, QStringLiteral("mnuPrinterSetup"), QStringLiteral("Printer &Setup"));
    mnuPrint_item[0] =
        action(mnuPrint, QStringLiteral("mnuPrint_item0"), QStringLiteral("&All Pages"));
    mnuPrint_item[1] =
        action(mnuPrint, QStringLiteral("mnuPrint_item1"), QStringLiteral("&Current Page"));
    mnuPrint_Save = action(mnuPrint, QStringLiteral("mnuPrint_Save"), QStringLiteral("&Save As"));
    mnuPrint_Mail =
        action(mnuPrint, QStringLiteral("mnuPrint_Mail"), QStringLiteral("Send &E-Mail"));
    mnuPrint_sep1 = mnuPrint->addSeparator();
    mnuPrint_sep1->setObjectName(QStringLiteral("mnuPrint_sep1"));
    mnuPrint_exit = action(mnuPrint, QStringLiteral("mnuPrint_exit"), QStringLiteral("E&xit"));

    mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    // The help entries have no help file to open; they do nothing.
    mnuHelp_item[0] =
        action(mnuHelp, QStringLiteral("mnuHelp_item0"), QStringLiteral("&Contents..."));
    mnuHelp_item[1] = action(mnuHelp, QStringLiteral("mnuHelp_item1"), QStringLiteral("&Index..."));

    connect(mnuPrinterSetup, &QAction::triggered, this, [this] { mnuPrinterSetup_Click(); });
    for (int i = 0; i < 2; ++i)
        connect(mnuPrint_item[i], &QAction::triggered, this, [this, i] { mnuPrint_item_Click(i); });
    connect(mnuPrint_Save, &QAction::triggered, this, [this] { cmdSave_Click(); });
    connect(mnuPrint_Mail, &QAction::triggered, this, [this] { cmdSendMail_Click(); });
    connect(mnuPrint_exit, &QAction::triggered, this, [this] { cmdClose_Click(); });
}

void frmSMPRNT_PREVIEW::Form_Load() {
    cboZoom->setCurrentIndex(3);
    cboZoom_Click(3);
    gpSetFormFonts(this);
    for (QPushButton* button : findChildren<QPushButton*>())
        fitWidth(button);
    placeButtons();
    loaded_ = true;
}

void frmSMPRNT_PREVIEW::Form_Activate() {
    closing_ = false;
    activated_ = true;
    // While a document is produced its end enables printing; the window becoming active (here
    // that happens after it was shown, later than the first page) must not cut in.
    if (!inProgress_)
        enable_print();
    if (runState().gbShowPOButton) {
        cmdFind[3]->show();
        cmdFind[3]->setEnabled(!txtFind->text().isEmpty());
    }
    if (cmdFind[2]->text() == QLatin1String("Show Transactions on Card"))
        cmdFind[1]->hide();
    placeButtons();
}

void frmSMPRNT_PREVIEW::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow()) {
            // Coming back from a message box or a dialog of this window is no new activation.
            if (suspendedByDialog_)
                suspendedByDialog_ = false;
            else
                Form_Activate();
        } else if (isVisible()) {
            const QWidget* now = QApplication::activeWindow();
            suspendedByDialog_ = QApplication::activeModalWidget() != nullptr ||
                                 (qobject_cast<const QDialog*>(now) && now->isModal());
        }
    }
    QMainWindow::changeEvent(event);
}

void frmSMPRNT_PREVIEW::showEvent(QShowEvent* event) {
    // Showing the window activates it; the window system confirms that only later, and the
    // user may already act on what the activation sets up (the purchase-order button).
    if (!event->spontaneous() && !testAttribute(Qt::WA_ShowWithoutActivating))
        Form_Activate();
    QMainWindow::showEvent(event);
}

void frmSMPRNT_PREVIEW::placeButtons() {
    const int gap = twipsToPixels(kButtonGapTwips);
    const int top = (elsButtons->height() - kButtonHeight) / 2;
    int left = elsButtons->width();
    for (QPushButton* button : {cmdClose, cmdPrint, cmdSave, cmdSendMail}) {
        const int width = button->width();
        left = left - width - gap;
        button->setGeometry(left, top, width, kButtonHeight);
    }
    // The layout of the controls on the left stops short of the buttons.
    QMargins margins = elsButtons->layout()->contentsMargins();
    const int right = std::max(0, elsButtons->width() - left + gap);
    if (margins.right() != right) {
        margins.setRight(right);
        elsButtons->layout()->setContentsMargins(margins);
    }
}

bool frmSMPRNT_PREVIEW::eventFilter(QObject* watched, QEvent* event) {
    if (watched == elsButtons && event->type() == QEvent::Resize) {
        placeButtons();
        return false;
    }
    const bool inZoomBox = watched == cboZoom || watched == cboZoom->lineEdit();
    if (inZoomBox && event->type() == QEvent::FocusOut) {
        applyZoomText();
        return false;
    }
    if (event->type() != QEvent::KeyPress || passingKeyOn_)
        return false;
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (Form_KeyDown(watched, key))
        return true;
    return inZoomBox && cboZoom_KeyPress(key);
}

bool frmSMPRNT_PREVIEW::Form_KeyDown(QObject* target, QKeyEvent* event) {
    const auto navigate = [this](int code) {
        if (!multiPage_)
            return false;
        cmdMove_Click(code);
        return true;
    };
    switch (event->key()) {
    case Qt::Key_Home:
        return navigate(0);
    case Qt::Key_PageUp:
        return navigate(2);
    case Qt::Key_PageDown:
        return navigate(1);
    case Qt::Key_End:
        return navigate(3);
    case Qt::Key_Escape:
        // Every document closes by Esc, one page long too (a PO printout's button reads "Esc
        // Cancel").
        if (!closing_) {
            closing_ = true;
            cmdClose_Click();
        }
        return true;
    case Qt::Key_F9: {
        // Printing is refused while the commands are disabled (a document in production).
        if (cmdPrint->isEnabled())
            cmdPrint_Click();
        // The key goes on to the control, as if the window had not looked at it.
        QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->text(),
                       event->isAutoRepeat(), event->count());
        passingKeyOn_ = true;
        QCoreApplication::sendEvent(target, &copy);
        passingKeyOn_ = false;
        return true;
    }
    case Qt::Key_F8:
        cmdSendMail_Click();
        return true;
    case Qt::Key_F7:
        cmdSave_Click();
        return true;
    case Qt::Key_F3:
        cmdFind_Click(1);
        return true;
    case Qt::Key_F4:
        if (!cmdFind[2]->isHidden())
            cmdFind_Click(2);
        return true;
    case Qt::Key_F6:
        if (!cmdFind[3]->isHidden())
            cmdFind_Click(3);
        return true;
    default:
        return false;
    }
}

} // namespace vx::output
