#include "datapath/ui/frm_smfile_path.h"

#include "datapath/clsdatapath.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "util/ui/forms.h"
#include "util/ui/keyboard.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <memory>

namespace vx {

namespace {

std::unique_ptr<PathBrowserState>& stateSlot() {
    static std::unique_ptr<PathBrowserState> slot;
    return slot;
}

const QString kAllFiles = QStringLiteral("*.*");

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& text,
                        const QString& tip) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setToolTip(tip);
    button->setAutoDefault(false);
    button->setMinimumWidth(110);
    return button;
}

// Where the store's data files are: the data path this user has set.
QString sampleLine() {
    const QString path = nativePath(gDataPath().DataPath()).trimmed();
    if (path.isEmpty())
        return QStringLiteral("Your data files are in the data path you set.");
    return QStringLiteral("Your data files are installed in ") + path + u'.';
}

QString helpText() {
    return QStringList{
        QStringLiteral("A path is sometimes refered to as a folder or a directory."),
        QStringLiteral("Only a folder that contains the required data files can be"),
        QStringLiteral("set as your path."),
        QStringLiteral("JOV database files are usually located in C:\\TK."),
        sampleLine(),
        QStringLiteral("You select a path by first, selecting the Drive"),
        QStringLiteral("from the drop-down listbox. Then, Double-Click on"),
        QStringLiteral("the folder to be used as your path."),
        QStringLiteral("HELP - Shows this help box."),
        QStringLiteral("OK - Sets the chosen Path and exits."),
        QStringLiteral("CANCEL - Discards changes and exits."),
    }
        .join(u'\r');
}

// The name filters of a pattern: "*.*" means every file, as it always has on the suite's
// systems, also those without a dot.
QStringList nameFilters(const QString& pattern) {
    QStringList filters;
    for (const QString& part : pattern.split(u';', Qt::SkipEmptyParts)) {
        const QString p = part.trimmed();
        if (!p.isEmpty())
            filters << (p == kAllFiles ? QStringLiteral("*") : p);
    }
    return filters.isEmpty() ? QStringList{QStringLiteral("*")} : filters;
}

} // namespace

PathBrowserState& pathBrowserState() {
    auto& slot = stateSlot();
    if (!slot)
        slot = std::make_unique<PathBrowserState>();
    return *slot;
}

void resetPathBrowserState() {
    stateSlot() = std::make_unique<PathBrowserState>();
}

frmSMFILE_PATH::frmSMFILE_PATH(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSMFILE_PATH"));
    buildControls();
    qApp->installEventFilter(this);
    Form_Load();
}

frmSMFILE_PATH::~frmSMFILE_PATH() {
    qApp->removeEventFilter(this);
}

void frmSMFILE_PATH::buildControls() {
    drvBrowse = new QComboBox(this);
    drvBrowse->setObjectName(QStringLiteral("drvBrowse"));
    dirBrowse = new QTreeWidget(this);
    dirBrowse->setObjectName(QStringLiteral("dirBrowse"));
    dirBrowse->setHeaderHidden(true);
    dirBrowse->setRootIsDecorated(false);
    dirBrowse->setItemsExpandable(false);
    dirBrowse->setIndentation(14);
    // Every listed folder stays open: no expand and collapse marks.
    dirBrowse->setStyleSheet(QStringLiteral("QTreeView::branch { image: none; }"));
    fileBrowse = new QListWidget(this);
    fileBrowse->setObjectName(QStringLiteral("fileBrowse"));
    txtFileSpec = new QLineEdit(this);
    txtFileSpec->setObjectName(QStringLiteral("txtFileSpec"));
    lblPath = new QLabel(QStringLiteral("Selected Path"), this);
    lblPath->setObjectName(QStringLiteral("lblPath"));
    lblPath->setFrameShape(QFrame::StyledPanel);
    lblPath->setFrameShadow(QFrame::Sunken);
    lblPath->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblPath->setMinimumWidth(320);
    lblToolTip = new QLabel(QStringLiteral("Shows Data Files in Selected Path"), this);
    lblToolTip->setObjectName(QStringLiteral("lblToolTip"));
    cmdHelp = makeButton(this, QStringLiteral("cmdHelp"), QStringLiteral("F1  Help"),
                         QStringLiteral("Show Help"));
    cmdOkCancel[0] =
        makeButton(this, QStringLiteral("cmdOkCancel_0"), QStringLiteral("F10  Accept"),
                   QStringLiteral("Set Path and Close"));
    cmdOkCancel[1] = makeButton(this, QStringLiteral("cmdOkCancel_1"),
                                QStringLiteral("Esc  Cancel"), QStringLiteral("Discard and Close"));

    auto* grid = new QGridLayout;
    grid->addWidget(drvBrowse, 0, 0);
    grid->addWidget(dirBrowse, 1, 0, 3, 1);
    grid->addWidget(txtFileSpec, 0, 1);
    grid->addWidget(lblToolTip, 1, 1);
    grid->addWidget(fileBrowse, 2, 1, 2, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(3, 1);
    dirBrowse->setMinimumSize(260, 240);
    fileBrowse->setMinimumWidth(200);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdHelp);
    buttons->addStretch(1);
    buttons->addWidget(cmdOkCancel[0]);
    buttons->addWidget(cmdOkCancel[1]);

    auto* main = new QVBoxLayout(this);
    main->addLayout(grid, 1);
    main->addWidget(lblPath);
    main->addLayout(buttons);

    connect(drvBrowse, &QComboBox::currentIndexChanged, this, &frmSMFILE_PATH::drvBrowse_Change);
    connect(dirBrowse, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { dirBrowse_DblClick(item); });
    connect(fileBrowse, &QListWidget::itemClicked, this, &frmSMFILE_PATH::fileBrowse_Click);
    connect(fileBrowse, &QListWidget::itemDoubleClicked, this,
            &frmSMFILE_PATH::fileBrowse_DblClick);
    connect(txtFileSpec, &QLineEdit::textChanged, this, [this] {
        fillFiles();
        updateAccept();
    });
    connect(cmdHelp, &QPushButton::clicked, this, &frmSMFILE_PATH::cmdHelp_Click);
    for (int i = 0; i < 2; ++i)
        connect(cmdOkCancel[i], &QPushButton::clicked, this, [this, i] { cmdOkCancel_Click(i); });
}

void frmSMFILE_PATH::Form_Load() {
    PathBrowserState& state = pathBrowserState();
    state.Cancelled = true;
    setWindowTitle(state.Title.trimmed().isEmpty() ? QStringLiteral("Path Browser") : state.Title);

    // Without the file list the folder list, the path and the buttons take the width.
    for (QWidget* w : {static_cast<QWidget*>(fileBrowse), static_cast<QWidget*>(txtFileSpec),
                       static_cast<QWidget*>(lblToolTip)})
        w->setVisible(state.ShowFiles);
    cmdOkCancel[0]->setEnabled(!state.ShowFiles);
    txtFileSpec->setText(pattern());

    drives_ = browseDrives();
    selectingDrive_ = true;
    for (const DriveEntry& drive : drives_)
        drvBrowse->addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), drive.label);
    selectingDrive_ = false;

    // Where the process stands, unless the caller's drive and folder can be found.
    setFolder(QDir::currentPath());
    if (!state.Drive.trimmed().isEmpty())
        if (const int i = driveIndexNamed(drives_, state.Drive.trimmed()); i >= 0)
            setFolder(drives_[i].root);
    if (!state.Path.trimmed().isEmpty())
        setFolder(nativePath(state.Path.trimmed()));

    gpSetFormFonts(this);
    adjustSize();
}

void frmSMFILE_PATH::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Form_Activate();
}

void frmSMFILE_PATH::Form_Activate() {
    if (txtFileSpec->text().trimmed().isEmpty())
        txtFileSpec->setText(pattern());
    fillFiles();
    updateAccept();
}

QString frmSMFILE_PATH::pattern() const {
    const QString p = pathBrowserState().Pattern.trimmed();
    return p.isEmpty() ? kAllFiles : p;
}

bool frmSMFILE_PATH::setFolder(const QString& folder) {
    const QString clean = QDir::cleanPath(folder);
    if (clean.isEmpty() || !QDir::isAbsolutePath(clean) || !dirExists(clean))
        return false;
    folder_ = clean;
    selectingDrive_ = true;
    drvBrowse->setCurrentIndex(driveIndexOf(drives_, folder_));
    selectingDrive_ = false;
    fillFolders();
    lblPath->setText(folder_);
    fillFiles();
    updateAccept();
    return true;
}

void frmSMFILE_PATH::fillFolders() {
    dirBrowse->clear();
    const int drive = driveIndexOf(drives_, folder_);
    const QString root = drive >= 0 ? drives_[drive].root : QStringLiteral("/");
    // The open folders from the drive's top down to the folder, then the folder's own folders.
    QStringList chain{root};
    const QString below = folder_.mid(root.size());
    for (const QString& name : below.split(u'/', Qt::SkipEmptyParts))
        chain << QDir::cleanPath(chain.last() + u'/' + name);
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    QTreeWidgetItem* parent = nullptr;
    for (const QString& path : chain) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(dirBrowse);
        item->setIcon(0, open);
        item->setText(0, parent ? QDir(path).dirName() : root);
        item->setData(0, Qt::UserRole, path);
        item->setExpanded(true);
        parent = item;
    }
    dirBrowse->setCurrentItem(parent);
    const QStringList subfolders =
        QDir(folder_).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : subfolders) {
        auto* item = new QTreeWidgetItem(parent);
        item->setIcon(0, closed);
        item->setText(0, name);
        item->setData(0, Qt::UserRole, QDir::cleanPath(folder_ + u'/' + name));
    }
}

QTreeWidgetItem* frmSMFILE_PATH::folderItem(const QString& folder) const {
    for (QTreeWidgetItemIterator it(dirBrowse); *it; ++it)
        if ((*it)->data(0, Qt::UserRole).toString() == folder)
            return *it;
    return nullptr;
}

void frmSMFILE_PATH::fillFiles() {
    fileBrowse->clear();
    if (folder_.isEmpty())
        return;
    const QString spec = txtFileSpec->text().trimmed();
    fileBrowse->addItems(QDir(folder_).entryList(nameFilters(spec.isEmpty() ? pattern() : spec),
                                                 QDir::Files, QDir::Name | QDir::IgnoreCase));
    if (pathBrowserState().ShowFiles && fileBrowse->count() > 0)
        fileBrowse->setCurrentRow(0);
}

void frmSMFILE_PATH::updateAccept() {
    cmdOkCancel[0]->setEnabled(!pathBrowserState().ShowFiles || fileBrowse->count() > 0);
}

void frmSMFILE_PATH::drvBrowse_Change(int index) {
    if (selectingDrive_ || index < 0 || index >= drives_.size())
        return;
    // A drive that cannot be opened leaves the lists where they were.
    if (!setFolder(drives_[index].root)) {
        selectingDrive_ = true;
        drvBrowse->setCurrentIndex(driveIndexOf(drives_, folder_));
        selectingDrive_ = false;
    }
}

void frmSMFILE_PATH::dirBrowse_DblClick(QTreeWidgetItem* item) {
    if (item)
        setFolder(item->data(0, Qt::UserRole).toString());
}

void frmSMFILE_PATH::fileBrowse_Click() {
    updateAccept();
}

void frmSMFILE_PATH::fileBrowse_DblClick() {
    updateAccept();
    if (cmdOkCancel[0]->isEnabled())
        cmdOkCancel[0]->click();
}

void frmSMFILE_PATH::cmdOkCancel_Click(int index) {
    PathBrowserState& state = pathBrowserState();
    if (index == 0) {
        state.Cancelled = false;
        const int drive = drvBrowse->currentIndex();
        state.Drive = drive >= 0 && drive < drives_.size() ? drives_[drive].key : QString();
        state.Path = folder_;
        state.FileName = fileBrowse->currentItem() ? fileBrowse->currentItem()->text() : QString();
        accept();
        return;
    }
    state.Cancelled = true;
    QDialog::reject();
}

void frmSMFILE_PATH::reject() {
    cmdOkCancel_Click(1);
}

void frmSMFILE_PATH::cmdHelp_Click() {
    MsgBox(helpText(), MsgButtons::Ok, MsgIcon::Information, QStringLiteral("Path Browser Help"));
}

bool frmSMFILE_PATH::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this || !isVisible())
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape) {
        cmdOkCancel[1]->click();
        return true;
    }
    const int pressed = vbKeyCode(key);
    int code = pressed;
    gpFunctionKeyButton(this, code, vbShiftState(key->modifiers()));
    // A function key its button has handled goes no further; a key without a code of its own
    // ("*", ".", "-", "_", ";", "?", letters outside ASCII) types as usual.
    if (pressed != 0 && code == 0)
        return true;
    // Enter opens the highlighted folder, as a double click does.
    if (watched == dirBrowse && code == kKeyReturn) {
        dirBrowse_DblClick(dirBrowse->currentItem());
        return true;
    }
    return false;
}

bool frmSMFILE_PATH::browse(QString& folder, const QString& drive, QWidget* parent) {
    PathBrowserState& state = pathBrowserState();
    state.Path = folder;
    state.Drive = drive;
    frmSMFILE_PATH dialog(parent);
    dialog.exec();
    if (state.Cancelled || state.Path.isEmpty())
        return false;
    folder = state.Path;
    return true;
}

} // namespace vx
