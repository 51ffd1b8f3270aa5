#pragma once
// frmSM_DATAPATH2, the station and data path dialog: the user chooses the station number, the
// data path and the network and training-data flags of a clsDataPath (the program's shared
// gDataPath()). Accept writes the values back, validates them with messages and saves them;
// Cancel leaves the settings as they were. Keys reach the window before its controls.

#include "datapath/datapath_dialog.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vx {

class clsDataPath;

// The import and export path: one text for the life of the process, shown and updated by the
// dialog.
struct DataPathUiState {
    QString gsImportExportPath;
};
DataPathUiState& dataPathUiState();
void resetDataPathUiState();

class frmSM_DATAPATH2 : public QDialog {
    Q_OBJECT
  public:
    // Loads the dialog with the values of `settings`, which it edits (it must outlive the dialog).
    explicit frmSM_DATAPATH2(clsDataPath& settings, QWidget* parent = nullptr);
    ~frmSM_DATAPATH2() override;

    void cmdBrowsePath_Click(int index);
    void cmdOkCancel_Click(int index);
    void cmdHelp_Click();
    void ckTest_Click(bool checked);

    // The controls; index i of lblEdit, txtEdit and cmdBrowsePath as the suite numbers them:
    // txtEdit[1] is the data path, txtEdit[0] the import and export path.
    QGroupBox* Frame1 = nullptr;
    std::array<QLabel*, 3> lblEdit{};
    QComboBox* cboEdit = nullptr;
    std::array<QLineEdit*, 2> txtEdit{};
    std::array<QPushButton*, 2> cmdBrowsePath{};
    QCheckBox* chkNetwork = nullptr;
    QLabel* Label2 = nullptr;
    QCheckBox* ckTest = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QPushButton* cmdHelp = nullptr;
    std::array<QPushButton*, 2> cmdOkCancel{};

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

  private:
    void buildControls();
    void Form_Load();
    bool Form_KeyDown(const QKeyEvent* event);
    void updateAccept();
    void keepImportExportPath();

    clsDataPath& settings_;
};

// The station and data path dialog of the windowed program: showModal runs frmSM_DATAPATH2
// modally over the given settings.
class QtDataPathDialog : public DataPathDialog {
  public:
    explicit QtDataPathDialog(QWidget* parent = nullptr) : parent_(parent) {}
    void showModal(clsDataPath& settings) override;

  private:
    QWidget* parent_;
};

// Makes frmSM_DATAPATH2 the dialog the settings layer shows (setDataPathDialog), for the rest
// of the program's life.
void installQtDataPathDialog();

} // namespace vx
