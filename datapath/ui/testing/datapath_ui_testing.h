#pragma once
// Test helpers of the station and data path dialogs: a throw-away home with a data folder,
// scripted message boxes, fresh shared state, and a way to act on a dialog shown modally.

#include "datapath/clsdatapath.h"
#include "datapath/ui/frm_sm_datapath2.h"
#include "datapath/ui/frm_smfile_path.h"
#include "platform/scripted_messages.h"
#include "testsupport/test_env.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace vx::test {

class DialogTest : public ::testing::Test {
  protected:
    DialogTest() {
        resetAll();
        // <home>/TK with two data files, an empty folder beside it, a folder outside home.
        for (const char* file : {"TK/VENDOR.JOV", "TK/INVT1.JOV", "TK/notes.txt"})
            TestEnv::writeFile(env.home() + u'/' + QLatin1String(file), "x");
        env.mkdir(QStringLiteral("home/TK/export"));
        env.mkdir(QStringLiteral("home/empty"));
        env.mkdir(QStringLiteral("srv/Jov"));
        savedCurrent_ = QDir::currentPath();
        QDir::setCurrent(env.root());
    }
    ~DialogTest() override {
        QDir::setCurrent(savedCurrent_);
        resetAll();
    }
    static void resetAll() {
        resetDataPath();
        resetDataPathUiState();
        resetPathBrowserState();
    }
    QString home(const QString& relative = {}) const {
        return relative.isEmpty() ? env.home() : env.home() + u'/' + relative;
    }

    // Runs `act` on the modal dialog of type T once the event loop shows it; a dialog that
    // cannot be found is rejected so that the test does not hang.
    template <class T> static void whenModal(std::function<void(T&)> act) {
        QTimer::singleShot(0, [act] {
            if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
                act(*dialog);
                return;
            }
            ADD_FAILURE() << "no modal dialog";
            if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                other->done(QDialog::Rejected);
        });
    }

    TestEnv env;
    ScopedScriptedMessages msgs;

  private:
    QString savedCurrent_;
};

} // namespace vx::test
