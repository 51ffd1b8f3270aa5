#include "dbconfig/ui/frm_db_config.h"

#include "dbconfig/connection_check.h"
#include "platform/paths.h"
#include "platform/settings.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

namespace vx {

namespace {

QLineEdit* field(QWidget* parent, const QString& name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMinimumWidth(320);
    return edit;
}

} // namespace

frmDBConfig::frmDBConfig(const DbConfig& present, const QString& dataPath, QWidget* parent)
    : QDialog(parent), dataPath_(dataPath) {
    build();
    load(present);
}

void frmDBConfig::build() {
    setWindowTitle(QStringLiteral("Database Configuration"));
    setObjectName(QStringLiteral("frmDBConfig"));

    cboEngine = new QComboBox(this);
    cboEngine->setObjectName(QStringLiteral("cboEngine"));
    // The engines this build offers, in the order of DbEngine.
    cboEngine->addItem(QStringLiteral("Embedded (SQLite)"));
    cboEngine->addItem(QStringLiteral("PostgreSQL server"));

    txtDatabase = field(this, QStringLiteral("txtDatabase"));
    txtFolder = field(this, QStringLiteral("txtFolder"));
    txtFolder->setPlaceholderText(QStringLiteral("empty: the data path"));
    const QString shownPath = dataPath_.trimmed().isEmpty() ? QString() : nativePath(dataPath_);
    lblDataPath =
        new QLabel(shownPath.isEmpty() ? QStringLiteral("No data path is set for this station.")
                                       : QStringLiteral("Data path: ") + shownPath,
                   this);
    lblDataPath->setObjectName(QStringLiteral("lblDataPath"));
    lblDataPath->setTextFormat(Qt::PlainText);
    lblDataPath->setForegroundRole(QPalette::PlaceholderText);
    txtHost = field(this, QStringLiteral("txtHost"));
    txtHost->setPlaceholderText(QStringLiteral("localhost"));
    txtPort = field(this, QStringLiteral("txtPort"));
    txtPort->setPlaceholderText(QStringLiteral("5432"));
    txtPort->setValidator(new QIntValidator(1, 65535, txtPort));
    txtSocket = field(this, QStringLiteral("txtSocket"));
    txtSocket->setPlaceholderText(QStringLiteral("none: connect to the host"));
    txtUser = field(this, QStringLiteral("txtUser"));
    txtPassword = field(this, QStringLiteral("txtPassword"));
    txtPassword->setEchoMode(QLineEdit::Password);

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow(QStringLiteral("&Engine:"), cboEngine);
    form->addRow(QStringLiteral("&Database:"), txtDatabase);
    form->addRow(QStringLiteral("&Folder:"), txtFolder);
    form->addRow(QString(), lblDataPath);
    form->addRow(QStringLiteral("&Host:"), txtHost);
    form->addRow(QStringLiteral("&Port:"), txtPort);
    form->addRow(QStringLiteral("&Socket folder:"), txtSocket);
    form->addRow(QStringLiteral("&User name:"), txtUser);
    form->addRow(QStringLiteral("Pass&word:"), txtPassword);

    lblResult = new QLabel(this);
    lblResult->setObjectName(QStringLiteral("lblResult"));
    lblResult->setWordWrap(true);
    lblResult->setTextFormat(Qt::PlainText);
    lblResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblResult->setMinimumHeight(fontMetrics().lineSpacing() * 3);
    lblResult->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // Test on the left; Save and Cancel, which close the window, on the right.
    cmdTest = new QPushButton(QStringLiteral("Test connection"), this);
    cmdSave = new QPushButton(QStringLiteral("Save"), this);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdTest);
    buttons->addStretch(1);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);
    cmdTest->setObjectName(QStringLiteral("cmdTest"));
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdSave->setDefault(true);
    cmdTest->setAutoDefault(false);
    cmdCancel->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(lblResult);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    connect(cboEngine, &QComboBox::currentIndexChanged, this, [this] { cboEngine_Change(); });
    connect(txtSocket, &QLineEdit::textChanged, this, [this] { enableFields(); });
    connect(cmdTest, &QPushButton::clicked, this, [this] { cmdTest_Click(); });
    // Save closes only when the settings were written.
    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmDBConfig::load(const DbConfig& present) {
    const ServerFields f = parseServerSetting(present.server);
    txtDatabase->setText(present.database);
    txtFolder->setText(f.folder);
    txtHost->setText(f.host);
    txtPort->setText(f.port);
    txtSocket->setText(f.socket);
    extra_ = f.extra;
    txtUser->setText(present.user.value_or(QString()));
    txtPassword->setText(present.password.value_or(QString()));
    cboEngine->setCurrentIndex(f.engine == DbEngine::PostgreSQL ? 1 : 0);
    cboEngine_Change();
    const QString server = present.server.trimmed();
    if (f.engine == DbEngine::Embedded && !server.isEmpty() &&
        !server.startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive))
        showResult(false, QStringLiteral("The present server \"%1\" is not an engine this "
                                         "program offers; choose one.")
                              .arg(server));
}

DbEngine frmDBConfig::engine() const {
    return cboEngine->currentIndex() == 1 ? DbEngine::PostgreSQL : DbEngine::Embedded;
}

DbConfig frmDBConfig::config() const {
    ServerFields f;
    f.engine = engine();
    DbConfig c;
    c.database = txtDatabase->text().trimmed();
    if (f.engine == DbEngine::Embedded) {
        f.folder = txtFolder->text().trimmed();
    } else {
        f.host = txtHost->text().trimmed();
        f.port = txtPort->text().trimmed();
        f.socket = txtSocket->text().trimmed();
        f.extra = extra_;
        c.user = txtUser->text().trimmed();
        c.password = txtPassword->text();
    }
    c.server = composeServerSetting(f);
    return c;
}

void frmDBConfig::cboEngine_Change() {
    enableFields();
    lblResult->clear();
}

void frmDBConfig::enableFields() {
    const bool server = engine() == DbEngine::PostgreSQL;
    txtFolder->setEnabled(!server);
    lblDataPath->setEnabled(!server);
    // A socket folder takes the place of the host.
    txtHost->setEnabled(server && txtSocket->text().trimmed().isEmpty());
    for (QLineEdit* edit : {txtPort, txtSocket, txtUser, txtPassword})
        edit->setEnabled(server);
}

void frmDBConfig::showResult(bool ok, const QString& text) {
    lblResult->setStyleSheet(ok ? QStringLiteral("color: #1b5e20;")
                                : QStringLiteral("color: #b71c1c;"));
    lblResult->setText(text);
}

void frmDBConfig::cmdTest_Click() {
    lblResult->setStyleSheet(QString());
    lblResult->setText(QStringLiteral("Connecting..."));
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    lblResult->repaint();
    const ConnectionCheck check = checkConnection(config(), dataPath_);
    QGuiApplication::restoreOverrideCursor();
    showResult(check.ok, check.message);
}

void frmDBConfig::cmdSave_Click() {
    const DbConfig c = config();
    if (c.database.isEmpty()) {
        showResult(false, QStringLiteral("Enter the name of the database."));
        txtDatabase->setFocus();
        return;
    }
    if (!saveDbConfig(c)) {
        showResult(false, QStringLiteral("The settings cannot be written to %1.")
                              .arg(settingsFile(QStringLiteral("JOV Settings"))));
        return;
    }
    accept();
}

} // namespace vx
