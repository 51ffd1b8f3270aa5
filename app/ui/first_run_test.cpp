// A user's first start on a fresh account, on real (offscreen) windows: no settings at all, a
// store prepared in the usual data folder. The program asks whether to define the data path,
// the data path dialog takes it, the configuration program sets the embedded database, and the
// report specifications dialog opens; its OK shows the report in the preview.
#include "app/options.h"
#include "app/startup.h"
#include "app/ui/windowed_program.h"
#include "datapath/clsdatapath.h"
#include "datapath/ui/frm_sm_datapath2.h"
#include "platform/regional.h"
#include "platform/runtime.h"
#include "platform/scripted_messages.h"
#include "platform/settings.h"
#include "reportspec/reports_common.h"
#include "reportspec/ui/frm_report_specs.h"
#include "runstate/runstate.h"
#include "sample/sample_store.h"
#include "testsupport/test_env.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace vx {
namespace {

template <class T> T* shownWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<T*>(w); t && t->isVisible())
            return t;
    return nullptr;
}

TEST(FirstRun, FromNoSettingsToTheReportInThePreview) {
    test::TestEnv env;
    env.setEnv("LC_ALL", QStringLiteral("C"));
    resetRunState();
    resetDataPath();
    resetDataPathUiState();
    ScopedScriptedMessages messages;

    // The store in the usual data folder ("C:\TK"), and then no settings at all.
    sample::SampleStoreOptions store;
    store.dataPath = env.home() + QStringLiteral("/TK");
    store.sampleFolder = QStringLiteral(VANTREX_SAMPLE_DATA_DIR);
    const sample::SampleStoreResult loaded = sample::createSampleStore(store);
    ASSERT_TRUE(loaded.ok) << loaded.error.toStdString();
    QDir settings(env.configDir() + QStringLiteral("/jov"));
    ASSERT_TRUE(settings.exists());
    ASSERT_TRUE(settings.removeRecursively());
    resetDataPath();
    QFile::link(test::binDir() + QStringLiteral("/JOVDataConfiguration"),
                env.programDir() + QStringLiteral("/JOVDataConfiguration"));
    messages.answer(MsgAnswer::Yes); // "Do you want to define it now?"

    runtimeOptions().batch = false;
    WindowedProgram windowed;
    output::frmSMPRNT_PREVIEW& preview = windowed.preview().window();
    QString dataPathShown, caption, firstPage;
    int step = 0;
    QTimer user;
    user.setInterval(10);
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (step == 0) {
            auto* dialog = qobject_cast<frmSM_DATAPATH2*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            dataPathShown = dialog->txtEdit[1]->text();
            dialog->txtEdit[1]->selectAll();
            QTest::keyClicks(dialog->txtEdit[1], QStringLiteral("C:\\TK"));
            step = 1;
            QTest::mouseClick(dialog->cmdOkCancel[0], Qt::LeftButton);
        } else if (step == 1) {
            frmReportSpecs* specs = shownWindow<frmReportSpecs>();
            if (!specs)
                return;
            caption = specs->windowTitle();
            specs->dtpStartDate->setDate(loaded.firstReceipt);
            specs->dtpEndDate->setDate(loaded.lastReceipt);
            step = 2;
            QTest::mouseClick(specs->cmdOkCancel[0], Qt::LeftButton); // runs the report
        } else if (step == 2) {
            if (!preview.isVisible() || preview.documentInProgress())
                return;
            firstPage = preview.document()->textDump().section(u'\f', 0, 0);
            QTest::mouseClick(preview.cmdClose, Qt::LeftButton);
            step = 3;
        } else if (step == 3) {
            frmReportSpecs* specs = shownWindow<frmReportSpecs>();
            if (specs) // the dialog stays open after a run, until Exit
                QTest::mouseClick(specs->cmdOkCancel[1], Qt::LeftButton);
            user.stop();
            step = 4;
        }
    });
    user.start();
    // A stuck step must not hang the test run.
    QTimer::singleShot(120000, [&] {
        ADD_FAILURE() << "stuck at step " << step;
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            modal->reject();
        if (frmReportSpecs* specs = shownWindow<frmReportSpecs>())
            specs->close();
    });

    const int status = Main(parseProgramOptions({}, true));
    runtimeOptions().batch = true;

    EXPECT_EQ(status, 0);
    EXPECT_EQ(step, 4);
    EXPECT_EQ(dataPathShown, QStringLiteral("C:\\TK"));
    EXPECT_EQ(messages.texts().size(), 1) << messages.texts().join(u'|').toStdString();
    EXPECT_EQ(GetSetting(QStringLiteral("JOV Settings"), QStringLiteral("DATABASE"),
                         QStringLiteral("Server")),
              QStringLiteral("sqlite:"));
    EXPECT_EQ(GetSetting(QStringLiteral("JOV Settings"), QStringLiteral("DATABASE"),
                         QStringLiteral("DBName")),
              QStringLiteral("JOV"));
    EXPECT_TRUE(firstPage.contains(QStringLiteral("Purchase Orders Received")))
        << firstPage.toStdString();
    EXPECT_TRUE(firstPage.contains(QStringLiteral("Total:"))) << firstPage.toStdString();
    EXPECT_TRUE(QFile::exists(env.programDir() + u'/' + QString(kReportSpecFileName)));
    EXPECT_FALSE(preview.isVisible());
    resetDataPath();
    resetRunState();
}

} // namespace
} // namespace vx
