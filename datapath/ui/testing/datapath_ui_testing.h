#pragma once
// Dialog test helpers: a throw-away home with <home>/TK (two data files and a text file),
// <home>/TK/export, <home>/empty and <root>/srv/Jov as the current folder's neighbours, scripted
// message boxes, fresh shared state, and a way to act on a dialog shown modally.

#include "datapath/clsdatapath.h"
#include "datapath/ui/frm_sm_datapath2.h"
#include "datapath/ui/frm_smfile_path.h"
#include "testsupport/scripted_messages.h"
#include "testsupport/test_env.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace vx::test {

class DialogTest : public ::testing::Test {
  protected:
    DialogTest() {
        resetAll();
        for (const char* file : {"TK/VENDOR.JOV", "TK/INVT1.JOV", "TK/notes.txt"})
            TestEnv::writeFile(home(QLatin1String(file)), "x");
        for (const char* folder : {"home/TK/export", "home/empty", "srv/Jov"})
            env.mkdir(QLatin1String(folder));
        QDir::setCurrent(env.root());
    }
    ~DialogTest() override { QDir::setCurrent(savedCurrent_), resetAll(); }
    static void resetAll() { resetDataPath(), resetDataPathUiState(), resetPathBrowserState(); }
    QString home(const QString& relative = {}) const {
        return relative.isEmpty() ? env.home() : env.home() + u'/' + relative;
    }
    // Runs `act` on the modal dialog of type T once shown; another one is rejected, not waited on.
    template <class T> static void whenModal(std::function<void(T&)> act) {
        QTimer::singleShot(0, [act] {
            auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (auto* dialog = qobject_cast<T*>(modal))
                return act(*dialog);
            ADD_FAILURE() << "no modal dialog";
            if (modal)
                modal->done(QDialog::Rejected);
        });
    }

    TestEnv env;
    ScopedScriptedMessages msgs;

  private:
    QString savedCurrent_ = QDir::currentPath();
};

} // namespace vx::test
