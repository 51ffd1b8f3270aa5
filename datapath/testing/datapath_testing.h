#pragma once
// Datapath test helpers: a fresh home and settings store with scripted message boxes, and a fake
// data path dialog that counts its showings and applies an edit.

#include "datapath/clsdatapath.h"
#include "datapath/datapath_dialog.h"
#include "datapath/network_check.h"
#include "platform/settings.h"
#include "testsupport/scripted_messages.h"
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
    static void resetAll() { resetIni(), resetDataPath(), resetSafeStubState(); }
    static void store(const char* key, const QString& value) {
        SaveSetting(kJovSettings, QStringLiteral("DATABASE"), QLatin1String(key), value);
    }
    static QString stored(const char* key) {
        return GetSetting(kJovSettings, "DATABASE", QLatin1String(key), "<none>");
    }
    // Makes <home>/<name> and names it the Windows way, "C:\<name>".
    QString winDir(const QString& name) const {
        QDir().mkpath(homePath(name));
        return QStringLiteral("C:\\") + QString(name).replace(u'/', u'\\');
    }
    QString homePath(const QString& relative) const { return env.home() + u'/' + relative; }

    TestEnv env;
    ScopedScriptedMessages msgs;
};

struct FakeDataPathDialog : DataPathDialog {
    explicit FakeDataPathDialog(std::function<void(clsDataPath&)> edit = {}) : edit(edit) {
        setDataPathDialog(this);
    }
    ~FakeDataPathDialog() override { setDataPathDialog(nullptr); }
    void showModal(clsDataPath& settings) override {
        ++shown;
        sawCreatePath = settings.CreatePath();
        sawStationNumberEnabled = settings.StationNumberEnabled();
        if (edit)
            edit(settings);
    }
    std::function<void(clsDataPath&)> edit;
    int shown = 0;
    bool sawCreatePath = false, sawStationNumberEnabled = false;
};

} // namespace vx::test
