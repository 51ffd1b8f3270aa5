#include "util/ui/screenshot_tool.h"

#include <QApplication>
#include <QFile>
#include <QWidget>
#include <cstdio>

namespace vx {

ScreenshotTool::ScreenshotTool(const char* name) : name_(name) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

bool ScreenshotTool::start(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", name_);
        return false;
    }
    out_ = QDir(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out_.path())) {
        std::fprintf(stderr, "%s: cannot create %s\n", name_, argv[1]);
        return false;
    }
    if (!root_.isValid()) {
        std::fprintf(stderr, "%s: no temporary folder\n", name_);
        return false;
    }
    return true;
}

QString ScreenshotTool::makeHome() {
    const QString home = root_.path() + QStringLiteral("/home/ann");
    const QString program = root_.path() + QStringLiteral("/program");
    QDir().mkpath(home + QStringLiteral("/.config"));
    QDir().mkpath(program);
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
    qputenv("JOV_PROGRAM_DIR", QFile::encodeName(program));
    return home;
}

bool ScreenshotTool::save(QWidget& window, const QString& name) {
    const bool wasHidden = !window.isVisible();
    if (wasHidden)
        window.show();
    QApplication::processEvents();
    const QString path = out_.filePath(name);
    const bool ok = window.grab().save(path);
    if (wasHidden)
        window.hide();
    if (ok)
        std::printf("%s\n", qPrintable(path));
    else
        std::fprintf(stderr, "%s: cannot write %s\n", name_, qPrintable(path));
    return ok;
}

} // namespace vx
