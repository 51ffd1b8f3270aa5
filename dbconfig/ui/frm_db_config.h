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

    // The controls. Embedded engine: txtFolder. Server engine: txtHost, txtPort, txtSocket,
    // txtUser, txtPassword. Both: txtDatabase.
    QComboBox* cboEngine = nullptr;
    QLineEdit* txtDatabase = nullptr;
    QLineEdit* txtFolder = nullptr;
    QLabel* lblDataPath = nullptr; // the folder an empty txtFolder stands for
    QLineEdit* txtHost = nullptr;
    QLineEdit* txtPort = nullptr;
    QLineEdit* txtSocket = nullptr;
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
    void enableFields();
    void showResult(bool ok, const QString& text);

    QString dataPath_;
    QString extra_; // address options of the present server the window does not show
};

} // namespace vx
