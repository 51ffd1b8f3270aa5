#include "datapath/datapath_dialog.h"

namespace vx {

namespace {
DataPathDialog* g_dialog = nullptr;
} // namespace

void setDataPathDialog(DataPathDialog* dialog) {
    g_dialog = dialog;
}

DataPathDialog* dataPathDialog() {
    return g_dialog;
}

void showDataPathDialog(clsDataPath& settings) {
    if (g_dialog)
        g_dialog->showModal(settings);
}

} // namespace vx
