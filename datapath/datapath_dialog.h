#pragma once
// The station and data path dialog as the settings layer sees it. The windowed program installs
// its dialog here; without one (tests, batch runs) showing it does nothing.

namespace vx {

class clsDataPath;

class DataPathDialog {
  public:
    virtual ~DataPathDialog() = default;
    // Shows the dialog modally over `settings` and returns when it closes.
    // Contract: on OK the dialog writes Station, StationPath, DataPath, Network and TestPath
    // into `settings`, validates them (with messages) and saves them, and sets Cancelled false;
    // on cancel it sets Cancelled true and leaves DataPath as it was.
    virtual void showModal(clsDataPath& settings) = 0;
};

// Installs `dialog` (the caller keeps it alive while it is installed); nullptr removes it.
void setDataPathDialog(DataPathDialog* dialog);
// The installed dialog, or nullptr.
DataPathDialog* dataPathDialog();
// Shows the installed dialog over `settings`; does nothing when none is installed.
void showDataPathDialog(clsDataPath& settings);

} // namespace vx
