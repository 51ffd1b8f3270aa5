#pragma once
// The frame of the programs that take pictures of the windows offscreen (the screenshot tools):
// the offscreen platform, the output folder from the command line, a throw-away home folder for
// the settings and files a window reads, and saving a window as PNG.
//
//   int main(int argc, char** argv) {
//       vx::ScreenshotTool tool("x-screenshots"); // before the application object
//       QApplication app(argc, argv);
//       if (!tool.start(argc, argv)) return 3;
//       ...  ok &= tool.save(window, "x.png");

#include <QDir>
#include <QString>
#include <QTemporaryDir>

class QWidget;

namespace vx {

class ScreenshotTool {
  public:
    // Selects the offscreen platform unless QT_QPA_PLATFORM names one.
    explicit ScreenshotTool(const char* name);

    // Takes the output folder (the one argument) and creates it; false, with the usage or the
    // reason on stderr, when it cannot.
    bool start(int argc, char** argv);

    // A fresh home folder "<throw-away>/home/ann", set as HOME, with XDG_CONFIG_HOME in it and
    // JOV_PROGRAM_DIR beside it; returns its path.
    QString makeHome();

    // Grabs `window` into `name` in the output folder and prints the path. A hidden window is
    // shown for the picture and hidden again.
    bool save(QWidget& window, const QString& name);

    const QDir& folder() const { return out_; }

  private:
    const char* name_;
    QDir out_;
    QTemporaryDir root_;
};

} // namespace vx
