#pragma once
// The program's own options, in front of the report manager's command line:
//   vantrex-report [--batch] [--yes] [--pdf FILE] [--text FILE] [--help] [--version] [--]
//   'START=...|END=...'
// The non-option arguments, joined with one blank, are the report command line.

#include <QString>
#include <QStringList>

namespace vx {

struct ProgramOptions {
    bool batch = false; // no window is shown; boxes go to stderr
    bool yes = false;   // batch questions are answered Yes
    bool help = false;
    bool version = false;
    QString pdfFile;     // a direct run writes its document here and ends
    QString textFile;    // a direct run writes its pages here as plain text and ends
    QString commandLine; // the report manager's command line
    QString error;       // not empty: the options were bad usage
};

// Parses the arguments after the program name. Without a display (no DISPLAY or
// WAYLAND_DISPLAY) `hasDisplay` is false and the run is a batch run; --pdf implies --batch.
ProgramOptions parseProgramOptions(const QStringList& args, bool hasDisplay);

QString usageText();

} // namespace vx
