#include "dbconfig/ui/frm_db_config.h"

#include "db/odbc/odbc_engine.h"
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
#include <algorithm>

namespace vx {

namespace {

QLineEdit* field(QWidget* parent, const QString& name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMinimumWidth(320);
    return edit;
}

// A quiet line under a field that explains it.
QLabel* note(QWidget* parent, const QString& name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
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
    cboEngine->addItem(QStringLiteral("SQL Server"));
    cboEngine->addItem(QStringLiteral("ODBC data source"));

    txtDatabase = field(this, QStringLiteral("txtDatabase"));
    txtFolder = field(this, QStringLiteral("txtFolder"));
    txtFolder->setPlaceholderText(QStringLiteral("empty: the data path"));
    const QString shownPath = dataPath_.trimmed().isEmpty() ? QString() : nativePath(dataPath_);
    lblDataPath = note(this, QStringLiteral("lblDataPath"),
                       shownPath.isEmpty() ? QStringLiteral("No data path is set for this station.")
                                           : QStringLiteral("Data path: ") + shownPath);
    txtHost = field(this, QStringLiteral("txtHost"));
    txtHost->setPlaceholderText(QStringLiteral("localhost"));
    txtPort = field(this, QStringLiteral("txtPort"));
    txtPort->setPlaceholderText(QStringLiteral("5432"));
    txtPort->setValidator(new QIntValidator(1, 65535, txtPort));
    txtSocket = field(this, QStringLiteral("txtSocket"));
    txtSocket->setPlaceholderText(QStringLiteral("none: connect to the host"));
    txtSqlServer = field(this, QStringLiteral("txtSqlServer"));
    txtSqlServer->setPlaceholderText(QStringLiteral("SHOPPC\\JOVSERVER or SHOPPC,1433"));
    cboDataSource = new QComboBox(this);
    cboDataSource->setObjectName(QStringLiteral("cboDataSource"));
    cboDataSource->setEditable(true);
    cboDataSource->setInsertPolicy(QComboBox::NoInsert);
    cboDataSource->addItems(db::odbcDataSources());
    cboDataSource->lineEdit()->setPlaceholderText(
        QStringLiteral("a data source name, or Driver={...};Server=..."));
    lblSourceHint = note(this, QStringLiteral("lblSourceHint"),
                         QStringLiteral("A connection string's own UID and PWD are used instead "
                                        "of the user name and password below."));
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
    form->addRow(QStringLiteral("SQL Ser&ver:"), txtSqlServer);
    form->addRow(QStringLiteral("Data sour&ce:"), cboDataSource);
    form->addRow(QString(), lblSourceHint);
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
    txtSqlServer->setText(f.sqlServer);
    cboDataSource->setCurrentIndex(cboDataSource->findText(f.source));
    cboDataSource->setEditText(f.source);
    cboDataSource->lineEdit()->setCursorPosition(0); // a long connection string shows its start
    txtUser->setText(present.user.value_or(QString()));
    txtPassword->setText(present.password.value_or(QString()));
    cboEngine->setCurrentIndex(static_cast<int>(f.engine));
    cboEngine_Change();
    const QString server = present.server.trimmed();
    if (f.engine == DbEngine::Embedded && !server.isEmpty() &&
        !server.startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive))
        showResult(false, QStringLiteral("The present server \"%1\" is not an engine this "
                                         "program offers; choose one.")
                              .arg(shownServer(server)));
}

DbEngine frmDBConfig::engine() const {
    return static_cast<DbEngine>(std::max(0, cboEngine->currentIndex()));
}

ServerFields frmDBConfig::fields() const {
    ServerFields f;
    f.engine = engine();
    switch (f.engine) {
    case DbEngine::Embedded:
        f.folder = txtFolder->text().trimmed();
        break;
    case DbEngine::PostgreSQL:
        f.host = txtHost->text().trimmed();
        f.port = txtPort->text().trimmed();
        f.socket = txtSocket->text().trimmed();
        f.extra = extra_;
        break;
    case DbEngine::SqlServer:
        f.sqlServer = txtSqlServer->text().trimmed();
        break;
    case DbEngine::OdbcSource:
        f.source = cboDataSource->currentText().trimmed();
        break;
    }
    return f;
}

DbConfig frmDBConfig::config() const {
    const ServerFields f = fields();
    DbConfig c;
    c.server = composeServerSetting(f);
    c.database = txtDatabase->text().trimmed();
    if (f.engine != DbEngine::Embedded) {
        c.user = txtUser->text().trimmed();
        c.password = txtPassword->text();
    }
    return c;
}

bool frmDBConfig::serverGiven() {
    const QString problem = serverFieldsProblem(fields());
    if (problem.isEmpty())
        return true;
    showResult(false, problem);
    if (engine() == DbEngine::SqlServer)
        txtSqlServer->setFocus();
    else
        cboDataSource->setFocus();
    return false;
}

void frmDBConfig::cboEngine_Change() {
    enableFields();
    lblResult->clear();
}

void frmDBConfig::enableFields() {
    const DbEngine e = engine();
    txtFolder->setEnabled(e == DbEngine::Embedded);
    lblDataPath->setEnabled(e == DbEngine::Embedded);
    const bool postgres = e == DbEngine::PostgreSQL;
    // A socket folder takes the place of the host.
    txtHost->setEnabled(postgres && txtSocket->text().trimmed().isEmpty());
    txtPort->setEnabled(postgres);
    txtSocket->setEnabled(postgres);
    txtSqlServer->setEnabled(e == DbEngine::SqlServer);
    cboDataSource->setEnabled(e == DbEngine::OdbcSource);
    lblSourceHint->setEnabled(e == DbEngine::OdbcSource);
    txtUser->setEnabled(e != DbEngine::Embedded);
    txtPassword->setEnabled(e != DbEngine::Embedded);
}

void frmDBConfig::showResult(bool ok, const QString& text) {
    lblResult->setStyleSheet(ok ? QStringLiteral("color: #1b5e20;")
                                : QStringLiteral("color: #b71c1c;"));
    lblResult->setText(text);
}

void frmDBConfig::cmdTest_Click() {
    if (!serverGiven())
        return;
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
    if (!serverGiven())
        return;
    if (!saveDbConfig(c)) {
        showResult(false, QStringLiteral("The settings cannot be written to %1.")
                              .arg(settingsFile(QStringLiteral("JOV Settings"))));
        return;
    }
    accept();
}

} // namespace vx
