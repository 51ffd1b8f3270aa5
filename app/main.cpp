// vantrex-report: the purchase-order summary report program.
#include "app/exit_status.h"
#include "app/options.h"
#include "app/startup.h"
#include "app/ui/preview_run.h"
#include "output/progress.h"
#include "output/progress_ui/frm_report_progress.h"
#include "platform/messages.h"
#include "platform/qt_messages.h"
#include "platform/runtime.h"

#include <QApplication>
#include <QGuiApplication>
#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromUtf8(argv[i]);
    const bool hasDisplay =
        !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    const vx::ProgramOptions options = vx::parseProgramOptions(args, hasDisplay);

    if (options.help) {
        std::fputs(vx::usageText().toUtf8().constData(), stdout);
        return vx::kExitDocument;
    }
    if (options.version) {
        std::printf("%s %s\n", vx::productName().toUtf8().constData(),
                    vx::productVersion().toUtf8().constData());
        return vx::kExitDocument;
    }
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "vantrex-report: %s\n\n%s", options.error.toUtf8().constData(),
                     vx::usageText().toUtf8().constData());
        return vx::kExitUsage;
    }

    vx::runtimeOptions().batch = options.batch;
    vx::runtimeOptions().yes = options.yes;

    std::unique_ptr<QCoreApplication> app;
    std::unique_ptr<vx::MessageService> messages;
    if (options.batch) {
        // Documents are still laid out with fonts, so a windowless GUI application is needed.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
        messages = std::make_unique<vx::BatchMessageService>(options.yes);
    } else {
        app = std::make_unique<QApplication>(argc, argv);
        messages = std::make_unique<vx::QtMessageService>();
    }
    QCoreApplication::setApplicationName(vx::productName());
    QCoreApplication::setApplicationVersion(vx::productVersion());
    vx::setMessageService(messages.get());

    // Long reports show how far they are: the progress window, or a line on a terminal.
    std::unique_ptr<vx::output::ProgressView> progress;
    if (!options.batch)
        progress = std::make_unique<vx::output::WindowProgressView>();
    else if (vx::output::stderrIsTerminal())
        progress = std::make_unique<vx::output::TerminalProgressView>();
    vx::output::setProgressView(progress.get());

    // The one print preview of the windowed program.
    std::unique_ptr<vx::PreviewReportHost> preview;
    if (!options.batch) {
        preview = std::make_unique<vx::PreviewReportHost>();
        vx::WindowedStart windowed;
        windowed.previewRun = [&preview] { return vx::gfiPreviewRun(*preview); };
        vx::setWindowedStart(std::move(windowed));
    }

    const int status = vx::Main(options);
    vx::setWindowedStart({});
    preview.reset();
    vx::output::setProgressView(nullptr);
    vx::setMessageService(nullptr);
    return status;
}
