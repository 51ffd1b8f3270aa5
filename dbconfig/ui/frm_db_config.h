#pragma once
// frmDBConfig, the window of the configuration program: the user chooses the database engine
// and where its database is, tries the connection, and saves the choice into the suite's
// settings ("JOV Settings", section "DATABASE"). Cancel writes nothing.

#include "dbconfig/dbconfig.h"
#include "dbconfig/server_fields.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vx {

class frmDBConfig : public QDialog {
    Q_OBJECT
  public:
    // Opens filled with `present` (usually presentDbConfig()); `dataPath` is the folder a bare
    // "sqlite:" server stands for (usually stationDataPath()).
    frmDBConfig(const DbConfig& present, const QString& dataPath, QWidget* parent = nullptr);

    // The configuration the fields describe now.
    DbConfig config() const;

    void cboEngine_Change();
    void cmdTest_Click();
    void cmdSave_Click();

    // The controls. Embedded engine: txtFolder. PostgreSQL: txtHost, txtPort, txtSocket. SQL
    // Server: txtSqlServer. ODBC: cboDataSource (editable: a DSN or a connection string). Every
    // server engine: txtUser, txtPassword. All: txtDatabase.
    QComboBox* cboEngine = nullptr; // in the order of DbEngine
    QLineEdit* txtDatabase = nullptr;
    QLineEdit* txtFolder = nullptr;
    QLabel* lblDataPath = nullptr; // the folder an empty txtFolder stands for
    QLineEdit* txtHost = nullptr;
    QLineEdit* txtPort = nullptr;
    QLineEdit* txtSocket = nullptr;
    QLineEdit* txtSqlServer = nullptr;
    QComboBox* cboDataSource = nullptr;
    QLabel* lblSourceHint = nullptr; // a connection string's own login is the one used
    QLineEdit* txtUser = nullptr;
    QLineEdit* txtPassword = nullptr;
    QLabel* lblResult = nullptr;
    QPushButton* cmdTest = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;

  private:
    void build();
    void load(const DbConfig& present);
    DbEngine engine() const;
    ServerFields fields() const;
    // The server fields are complete; otherwise says what is missing and goes there.
    bool serverGiven();
    void enableFields();
    void showResult(bool ok, const QString& text);

    QString dataPath_;
    QString extra_; // address options of the present server the window does not show
};

} // namespace vx
