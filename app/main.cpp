// vantrex-report: the purchase-order summary report program.
#include "app/exit_status.h"
#include "app/options.h"
#include "app/startup.h"
#include "app/ui/windowed_program.h"
#include "output/progress.h"
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

    // The windows: preview, progress, the data path and report specifications dialogs. A batch
    // run shows its progress as a line on a terminal.
    std::unique_ptr<vx::WindowedProgram> windowed;
    std::unique_ptr<vx::output::ProgressView> progress;
    if (!options.batch) {
        windowed = std::make_unique<vx::WindowedProgram>();
    } else if (vx::output::stderrIsTerminal()) {
        progress = std::make_unique<vx::output::TerminalProgressView>();
        vx::output::setProgressView(progress.get());
    }

    const int status = vx::Main(options);
    windowed.reset();
    vx::output::setProgressView(nullptr);
    vx::setMessageService(nullptr);
    return status;
}
