// Pictures of the report specifications dialog, for a look at how it appears: as it opens with a
// store's specification file, after Change with an extra selection chosen, and after Accept.
// The file lives in a throw-away program folder.
//
//   spec-screenshots FOLDER   (runs without a display: QT_QPA_PLATFORM=offscreen)
#include "reportspec/reports_common.h"
#include "reportspec/ui/frm_report_specs.h"
#include "runstate/runstate.h"
#include "util/ui/screenshot_tool.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <cstdio>

int main(int argc, char** argv) {
    vx::ScreenshotTool tool("spec-screenshots");
    QApplication app(argc, argv);
    if (!tool.start(argc, argv))
        return 3;
    tool.makeHome();
    QFile spec(
        QDir(qEnvironmentVariable("JOV_PROGRAM_DIR")).filePath(QString(vx::kReportSpecFileName)));
    if (!spec.open(QIODevice::WriteOnly) ||
        spec.write("[ID]0001[COMPANY]Corner Hardware & Garden[TITLE]Received Purchase Orders"
                   "[SUBTITLE]Summary by Vendor - Main Street Store[START]3/1/2024[END]3/31/2024"
                   "[DATES]2[SPEC3LABEL][SPEC3][SPEC4LABEL][SPEC4][PRIORS]N[REG][FILENAME]\r\n") <
            0) {
        std::fprintf(stderr, "cannot write the specification file\n");
        return 1;
    }
    spec.close();
    vx::runState().gsCompanyName = QStringLiteral("Corner Hardware & Garden");
    vx::runState().gsEndDate = QStringLiteral("3/31/2024");

    vx::frmReportSpecs dialog({});
    dialog.show();
    bool ok = tool.save(dialog, QStringLiteral("specs-opened.png"));

    dialog.cmdChange_Click();
    dialog.Option1[0]->setChecked(true);
    dialog.txtReport[5]->setText(QStringLiteral("A100 - C299"));
    ok &= tool.save(dialog, QStringLiteral("specs-changed.png"));

    dialog.cmdOkCancel_Click(0); // saves the file; no report is run here
    ok &= tool.save(dialog, QStringLiteral("specs-accepted.png"));
    return ok ? 0 : 1;
}
