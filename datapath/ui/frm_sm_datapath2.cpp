#include "datapath/ui/frm_sm_datapath2.h"

#include "datapath/clsdatapath.h"
#include "datapath/ui/drives.h"
#include "datapath/ui/frm_smfile_path.h"
#include "platform/messages.h"
#include "platform/runtime.h"
#include "platform/settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <algorithm>
#include <exception>
#include <memory>

namespace vx {

namespace {

std::unique_ptr<DataPathUiState>& stateSlot() {
    static std::unique_ptr<DataPathUiState> slot;
    return slot;
}

const QString kFirstRunPath = QStringLiteral("C:\\TK");

// The whole number a text begins with (leading blanks and a sign allowed), 0 when it begins
// with none: "3abc" is 3, "x" is 0.
int leadingNumber(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^\\s*([+-]?\\d+)"));
    const auto m = number.match(text);
    return m.hasMatch() ? m.captured(1).left(9).toInt() : 0;
}

QString trimTrailingBlanks(QString text) {
    while (text.endsWith(u' '))
        text.chop(1);
    return text;
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QString& tip) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setToolTip(tip);
    return label;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& text,
                        const QString& tip = {}) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setToolTip(tip);
    button->setAutoDefault(false);
    return button;
}

QString helpText() {
    const QList<QStringList> groups = {
        {QStringLiteral("A valid data path is necessary before an application can run."),
         QStringLiteral("A path is also sometimes refered to as a folder or a directory.")},
        {QStringLiteral("DATA PATH - The location of the JOV database files, usually C:\\TK."),
         QStringLiteral("You can type in the path or use the Browser to select its folder.")},
        {QStringLiteral("STATION PATH - Location of the station's file, STA##.JOV."),
         QStringLiteral("You can type in the path or use the Browser to select its folder."),
         QStringLiteral("* May be disabled, if not used by an application.")},
        {QStringLiteral("STATION - When running on a network, you can select the station"),
         QStringLiteral("number being used to access the network.")},
        {QStringLiteral("BROWSER - Select an existing path by first, selecting the"),
         QStringLiteral("Drive from the drop-down listbox. Then, Double-Click on the"),
         QStringLiteral("folder to be selected as your path.")},
        {QStringLiteral("HELP - Shows this help box."),
         QStringLiteral("OK - Saves changes and exits."),
         QStringLiteral("CANCEL - Discards changes and exits.")},
    };
    QString text;
    for (const QStringList& group : groups) {
        for (const QString& line : group)
            text += line + u'\r';
        text += u'\r';
    }
    return text;
}

} // namespace

DataPathUiState& dataPathUiState() {
    auto& slot = stateSlot();
    if (!slot)
        slot = std::make_unique<DataPathUiState>();
    return *slot;
}

void resetDataPathUiState() {
    stateSlot() = std::make_unique<DataPathUiState>();
}

frmSM_DATAPATH2::frmSM_DATAPATH2(clsDataPath& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setObjectName(QStringLiteral("frmSM_DATAPATH2"));
    buildControls();
    Form_Load();
    // Connected after loading: only the user's choices and edits enable Accept.
    connect(cboEdit, &QComboBox::activated, this, &frmSM_DATAPATH2::updateAccept);
    for (QLineEdit* box : txtEdit)
        connect(box, &QLineEdit::textChanged, this, &frmSM_DATAPATH2::updateAccept);
    connect(ckTest, &QCheckBox::toggled, this, &frmSM_DATAPATH2::ckTest_Click);
    qApp->installEventFilter(this);
}

frmSM_DATAPATH2::~frmSM_DATAPATH2() {
    qApp->removeEventFilter(this);
}

void frmSM_DATAPATH2::buildControls() {
    Frame1 = new QGroupBox(QStringLiteral("Select Data Path"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    lblEdit[0] = makeLabel(Frame1, QStringLiteral("lblEdit_0"), QStringLiteral("Station Number"),
                           QStringLiteral("Select WorkStation's Number"));
    lblEdit[2] = makeLabel(Frame1, QStringLiteral("lblEdit_2"), QStringLiteral("Data Path"),
                           QStringLiteral("Location of Data Files (*.JOV)"));
    lblEdit[1] =
        makeLabel(Frame1, QStringLiteral("lblEdit_1"), QStringLiteral("Import/Export Path"),
                  QStringLiteral("Location of Station File (STA##.JOV)"));
    cboEdit = new QComboBox(Frame1);
    cboEdit->setObjectName(QStringLiteral("cboEdit"));
    cboEdit->setToolTip(lblEdit[0]->toolTip());
    cboEdit->setMinimumContentsLength(4);
    for (int i : {1, 0}) {
        txtEdit[i] = new QLineEdit(Frame1);
        txtEdit[i]->setObjectName(QStringLiteral("txtEdit_%1").arg(i));
        txtEdit[i]->setToolTip(lblEdit[i == 1 ? 2 : 1]->toolTip());
        txtEdit[i]->setMinimumWidth(340);
        cmdBrowsePath[i] =
            makeButton(Frame1, QStringLiteral("cmdBrowsePath_%1").arg(i), QStringLiteral("..."));
        cmdBrowsePath[i]->setFixedWidth(cmdBrowsePath[i]->sizeHint().height() + 8);
        connect(cmdBrowsePath[i], &QPushButton::clicked, this,
                [this, i] { cmdBrowsePath_Click(i); });
    }
    chkNetwork = new QCheckBox(QStringLiteral("Network"), Frame1);
    chkNetwork->setObjectName(QStringLiteral("chkNetwork"));
    Label2 = new QLabel(
        QStringLiteral("( If your data is to be kept on a networked computer, check Network. )"),
        Frame1);
    Label2->setObjectName(QStringLiteral("Label2"));
    ckTest = new QCheckBox(QStringLiteral("Flag as Training Data"), Frame1);
    ckTest->setObjectName(QStringLiteral("ckTest"));

    auto* grid = new QGridLayout(Frame1);
    grid->setHorizontalSpacing(10);
    grid->addWidget(lblEdit[0], 0, 0);
    grid->addWidget(cboEdit, 0, 1, Qt::AlignLeft);
    grid->addWidget(lblEdit[2], 1, 0);
    grid->addWidget(txtEdit[1], 1, 1);
    grid->addWidget(cmdBrowsePath[1], 1, 2);
    grid->addWidget(lblEdit[1], 2, 0);
    grid->addWidget(txtEdit[0], 2, 1);
    grid->addWidget(cmdBrowsePath[0], 2, 2);
    grid->addWidget(chkNetwork, 3, 1);
    grid->addWidget(Label2, 4, 1, 1, 2);
    grid->addWidget(ckTest, 5, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowMinimumHeight(5, ckTest->sizeHint().height() + 6);

    cmdBrowse = makeButton(this, QStringLiteral("cmdBrowse"), QStringLiteral("F2 Browse"),
                           QStringLiteral("Look for Folder with Files for Path"));
    cmdHelp = makeButton(this, QStringLiteral("cmdHelp"), QStringLiteral("F1 Help"),
                         QStringLiteral("Show Help"));
    cmdOkCancel[0] = makeButton(this, QStringLiteral("cmdOkCancel_0"), QStringLiteral("F10 Accept"),
                                QStringLiteral("Save and Close"));
    cmdOkCancel[1] = makeButton(this, QStringLiteral("cmdOkCancel_1"), QStringLiteral("Esc Cancel"),
                                QStringLiteral("Discard and Close"));
    for (QPushButton* b : {cmdBrowse, cmdHelp, cmdOkCancel[0], cmdOkCancel[1]})
        b->setMinimumWidth(100);
    connect(cmdHelp, &QPushButton::clicked, this, &frmSM_DATAPATH2::cmdHelp_Click);
    for (int i = 0; i < 2; ++i)
        connect(cmdOkCancel[i], &QPushButton::clicked, this, [this, i] { cmdOkCancel_Click(i); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdBrowse);
    buttons->addWidget(cmdHelp);
    buttons->addStretch(1);
    buttons->addWidget(cmdOkCancel[0]);
    buttons->addWidget(cmdOkCancel[1]);

    auto* main = new QVBoxLayout(this);
    main->addWidget(Frame1);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);
}

void frmSM_DATAPATH2::Form_Load() {
    setWindowTitle(QStringLiteral("Set Data Path"));
    cmdOkCancel[0]->setEnabled(false);
    // A program that does not use the station number shows it, but the user cannot change it.
    lblEdit[0]->setEnabled(settings_.StationNumberEnabled());
    cboEdit->setEnabled(settings_.StationNumberEnabled());
    ckTest->setChecked(settings_.TestPath() == QLatin1String("Y"));

    const int maxStations = settings_.MaxStations();
    for (int i = 1; i <= maxStations; ++i)
        cboEdit->addItem(QString::number(i));
    const int station = leadingNumber(settings_.Station());
    int index = station - 1;
    if (station <= 0)
        index = leadingNumber(settings_.DefaultStation()) - 1;
    else if (station > maxStations)
        index = maxStations - 1;
    cboEdit->setCurrentIndex(maxStations > 0 ? std::clamp(index, 0, maxStations - 1) : -1);

    for (QWidget* w : {static_cast<QWidget*>(txtEdit[0]), static_cast<QWidget*>(lblEdit[1]),
                       static_cast<QWidget*>(cmdBrowsePath[0])})
        w->setVisible(false);
    const QString dataPath = settings_.DataPath();
    if (!dataPath.isEmpty()) {
        const QString& importExport = dataPathUiState().gsImportExportPath;
        if (importExport.compare(dataPath, Qt::CaseInsensitive) != 0) {
            txtEdit[0]->setText(importExport);
            for (QWidget* w : {static_cast<QWidget*>(txtEdit[0]), static_cast<QWidget*>(lblEdit[1]),
                               static_cast<QWidget*>(cmdBrowsePath[0])})
                w->setVisible(true);
        } else {
            txtEdit[0]->setText(dataPath);
        }
        txtEdit[1]->setText(dataPath);
        chkNetwork->setChecked(settings_.Network());
    } else {
        txtEdit[0]->setText(kFirstRunPath);
        txtEdit[1]->setText(kFirstRunPath);
        chkNetwork->setChecked(false);
    }
    txtEdit[1]->setFocus();
}

void frmSM_DATAPATH2::updateAccept() {
    cmdOkCancel[0]->setEnabled(!txtEdit[1]->text().trimmed().isEmpty());
}

void frmSM_DATAPATH2::ckTest_Click(bool checked) {
    if (!checked)
        return;
    MsgBox(QStringLiteral("Checking this box does not set up a traning directory or change your "
                          "data path ") +
               QStringLiteral("\r\n") +
               QStringLiteral("It is a manual switch that turns on or off the training flag on "
                              "the main screen "),
           MsgButtons::Ok, MsgIcon::Information, QStringLiteral("Caution"));
}

void frmSM_DATAPATH2::cmdBrowsePath_Click(int index) {
    QLineEdit* box = txtEdit[index];
    try {
        const QString start = trimTrailingBlanks(box->text());
        PathBrowserState& browser = pathBrowserState();
        browser.Path = start;
        browser.Drive = start.left(2).toUpper();
        frmSMFILE_PATH dialog(this);
        dialog.exec();
        if (browser.Cancelled || browser.Path.isEmpty())
            return;
        // A folder in the home folder is written the suite's way ("C:\TK"); its drive part
        // is upper case. Other folders keep their case: this machine's names depend on it.
        QString chosen = suitePath(browser.Path);
        static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:"));
        if (drive.match(chosen).hasMatch())
            chosen = chosen.left(3).toUpper() + chosen.mid(3);
        box->setText(chosen);
    } catch (const std::exception& error) {
        MsgBox(QString::fromLocal8Bit(error.what()), MsgButtons::Ok, MsgIcon::Critical,
               QStringLiteral("Unexpected Error"));
    }
}

void frmSM_DATAPATH2::keepImportExportPath() {
    if (!txtEdit[0]->text().trimmed().isEmpty())
        dataPathUiState().gsImportExportPath = txtEdit[0]->text();
}

void frmSM_DATAPATH2::cmdOkCancel_Click(int index) {
    if (index != 0) {
        settings_.setCancelled(true);
        QDialog::reject();
        pumpEvents();
        return;
    }
    // What the settings held before: a refused Accept leaves them so.
    const QString station = settings_.Station(), stationPath = settings_.StationPath(),
                  dataPath = settings_.DataPath();
    const bool network = settings_.Network();

    settings_.setStation(cboEdit->currentText());
    settings_.setStationPath(txtEdit[1]->text());
    settings_.setDataPath(txtEdit[1]->text());
    settings_.setNetwork(chkNetwork->isChecked());
    if (settings_.Validate(false)) {
        settings_.setTestPath(ckTest->isChecked() ? QStringLiteral("Y") : QString());
        if (settings_.StationPath().isEmpty())
            settings_.setStationPath(settings_.DataPath());
        if (settings_.Save()) {
            keepImportExportPath();
            settings_.setCancelled(false);
            accept();
            return;
        }
        // Closing would look as if the settings were kept: the user must know they were not,
        // and the dialog stays with the settings as they were.
        MsgBox(QStringLiteral("The settings could not be saved in ") +
                   settingsFile(settings_.AppLabel()) +
                   QStringLiteral(".\r\rCheck that its folder exists and can be written."),
               MsgButtons::Ok, MsgIcon::Critical, QStringLiteral("Validation"));
    }
    settings_.setStation(station);
    settings_.setStationPath(stationPath);
    settings_.setDataPath(dataPath);
    settings_.setNetwork(network);
    if (settings_.FieldKey() == QLatin1String("STATION"))
        cboEdit->setFocus();
    else if (settings_.FieldKey() == QLatin1String("DATAPATH"))
        txtEdit[1]->setFocus();
    keepImportExportPath();
}

void frmSM_DATAPATH2::reject() {
    cmdOkCancel_Click(1);
}

void frmSM_DATAPATH2::cmdHelp_Click() {
    MsgBox(helpText(), MsgButtons::Ok, MsgIcon::Information,
           QStringLiteral("Station and Data Path Help"));
}

bool frmSM_DATAPATH2::Form_KeyDown(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_F10:
        if (cmdOkCancel[0]->isEnabled())
            cmdOkCancel_Click(0);
        return true;
    case Qt::Key_Escape:
        cmdOkCancel_Click(1);
        return true;
    case Qt::Key_F1:
        cmdHelp_Click();
        return true;
    default:
        return false;
    }
}

bool frmSM_DATAPATH2::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        // A path box selects its whole text when it gets the focus (after the click that
        // gave it the focus has placed the cursor).
        for (QLineEdit* box : txtEdit)
            if (watched == box)
                QTimer::singleShot(0, box, &QLineEdit::selectAll);
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this || !isVisible())
        return false;
    return Form_KeyDown(static_cast<QKeyEvent*>(event));
}

void QtDataPathDialog::showModal(clsDataPath& settings) {
    frmSM_DATAPATH2 dialog(settings, parent_);
    dialog.exec();
}

void installQtDataPathDialog() {
    static QtDataPathDialog dialog;
    setDataPathDialog(&dialog);
}

} // namespace vx
