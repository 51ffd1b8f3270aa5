#pragma once
// frmSMFILE_PATH, the path browser: the user picks a folder by drive and folder lists, and may
// see the files of the folder that match a pattern. Its settings and results live in one shared
// state that outlasts each showing: the caller sets the starting drive and folder (and, when
// wanted, the title, the file list and its pattern), shows the browser modally, then reads
// Cancelled and, when that is false, Path. Keys reach the window before its controls.

#include "datapath/ui/drives.h"

#include <QDialog>
#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QPushButton;

namespace vx {

struct PathBrowserState {
    QString Title;          // window title; blank: "Path Browser"
    bool ShowFiles = false; // offer the file list and its pattern
    QString Pattern;        // file pattern(s), ";" between several; blank: "*.*"
    QString Drive;          // start: "C:" (home) or a drive's folder; after Accept the drive chosen
    QString Path;           // start: the folder (either form); after Accept the folder chosen
    QString FileName;       // after Accept: the file selected, empty when none
    bool Cancelled = true;  // true until Accept
};

PathBrowserState& pathBrowserState();
void resetPathBrowserState();

class frmSMFILE_PATH : public QDialog {
    Q_OBJECT
  public:
    // Loads the browser from pathBrowserState() (Cancelled becomes true).
    explicit frmSMFILE_PATH(QWidget* parent = nullptr);
    ~frmSMFILE_PATH() override;

    // Starts at `folder` (and `drive` when not blank), shows the browser modally and, when the
    // user accepts, puts the chosen folder (this machine's path) into `folder` and returns true.
    // A cancelled browser leaves `folder` as it was.
    static bool browse(QString& folder, const QString& drive = {}, QWidget* parent = nullptr);

    // The folder of the folder list.
    const QString& folder() const { return folder_; }
    // Opens `folder` in the folder list (its drive is selected too); false when it is no folder.
    bool setFolder(const QString& folder);

    void drvBrowse_Change(int index);
    void dirBrowse_DblClick(QTreeWidgetItem* item);
    // The folder list's entry of `folder`, nullptr when it shows none.
    QTreeWidgetItem* folderItem(const QString& folder) const;
    void fileBrowse_Click();
    void fileBrowse_DblClick();
    void cmdOkCancel_Click(int index);
    void cmdHelp_Click();

    // The controls.
    QComboBox* drvBrowse = nullptr;
    QTreeWidget* dirBrowse = nullptr;
    QListWidget* fileBrowse = nullptr;
    QLineEdit* txtFileSpec = nullptr;
    QLabel* lblPath = nullptr;
    QLabel* lblToolTip = nullptr;
    QPushButton* cmdHelp = nullptr;
    std::array<QPushButton*, 2> cmdOkCancel{};

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void reject() override;

  private:
    void buildControls();
    void Form_Load();
    void Form_Activate();
    void fillFolders();
    void fillFiles();
    void updateAccept();
    QString pattern() const;

    QList<DriveEntry> drives_;
    QString folder_;
    bool selectingDrive_ = false;
};

} // namespace vx
