#pragma once
// Test helpers of the datapath tests: a fresh home and settings store, scripted message boxes,
// fresh shared objects, and a fake station and data path dialog.

#include "datapath/clsdatapath.h"
#include "datapath/datapath_dialog.h"
#include "datapath/network_check.h"
#include "platform/scripted_messages.h"
#include "platform/settings.h"
#include "testsupport/test_env.h"
#include "util/ini_services.h"

#include <QDir>
#include <functional>
#include <gtest/gtest.h>

namespace vx::test {

class DataPathTest : public ::testing::Test {
  protected:
    DataPathTest() { resetAll(); }
    ~DataPathTest() override { resetAll(); }
    static void resetAll() {
        resetIni();
        resetDataPath();
        resetSafeStubState();
    }
    static void store(const char* key, const QString& value) {
        SaveSetting(kJovSettings, QStringLiteral("DATABASE"), QLatin1String(key), value);
    }
    static QString stored(const char* key) {
        return GetSetting(kJovSettings, QStringLiteral("DATABASE"), QLatin1String(key),
                          QStringLiteral("<none>"));
    }
    // Creates the folder <home>/<name> and gives it back the Windows way, "C:\<name>".
    QString winDir(const QString& name) const {
        QDir().mkpath(env.home() + u'/' + name);
        return QStringLiteral("C:\\") + QString(name).replace(u'/', u'\\');
    }
    QString homePath(const QString& relative) const { return env.home() + u'/' + relative; }

    TestEnv env;
    ScopedScriptedMessages msgs;
};

// Installed for its lifetime; each showing counts and applies `edit`.
class FakeDataPathDialog : public DataPathDialog {
  public:
    explicit FakeDataPathDialog(std::function<void(clsDataPath&)> edit = {})
        : edit_(std::move(edit)) {
        setDataPathDialog(this);
    }
    ~FakeDataPathDialog() override { setDataPathDialog(nullptr); }
    void showModal(clsDataPath& settings) override {
        ++shown;
        sawCreatePath = settings.CreatePath();
        sawStationNumberEnabled = settings.StationNumberEnabled();
        if (edit_)
            edit_(settings);
    }
    int shown = 0;
    bool sawCreatePath = false;
    bool sawStationNumberEnabled = false;

  private:
    std::function<void(clsDataPath&)> edit_;
};

} // namespace vx::test
