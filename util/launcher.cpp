#include "util/launcher.h"

#include "platform/shell.h"
#include "util/text.h"

#include <utility>

namespace vx {

namespace {

// The suite's test for a given value: a character-code comparison with a single blank, so an
// empty value and a lone blank are left out while "  " or " x" are kept.
bool isGiven(const QString& value) {
    return value.compare(QLatin1String(" ")) > 0;
}

QString switchText(const SuiteProgramArgs& a) {
    const std::pair<const char*, const QString*> switches[] = {
        {"/APP=", &a.app},           {"/STATION=", &a.station}, {"/STATIONPATH=", &a.stationPath},
        {"/DATAPATH=", &a.dataPath}, {"/APPDESC=", &a.appDesc}, {"/APPVER=", &a.appVer},
        {"/TKSC=", &a.tkSC},         {"/NETWORK=", &a.network}, {"/MAXSTATIONS=", &a.maxStations},
    };
    QString text;
    for (const auto& [name, value] : switches) {
        if (!isGiven(*value))
            continue;
        text += QLatin1String(name) + *value;
        if (value != &a.maxStations)
            text += u' ';
    }
    if (!trimBlanks(a.extra).isEmpty())
        text += u' ' + a.extra;
    return text;
}

// Escapes what the command-line splitter would otherwise interpret (quotes, backslashes and,
// when `keepBlanks`, blanks), so that the words arrive exactly as written.
QString escapeForSplit(const QString& text, bool keepBlanks) {
    QString out;
    for (const QChar c : text) {
        if (c == u'\\' || c == u'"' || c == u'\'' ||
            (keepBlanks && (c == u' ' || c == u'\t' || c == u'\n')))
            out += u'\\';
        out += c;
    }
    return out;
}

QString programPath(const SuiteProgramArgs& a) {
    return a.folder + u'/' + a.program;
}

} // namespace

QString gsSuiteCommandLine(const SuiteProgramArgs& args) {
    return programPath(args) + u' ' + switchText(args);
}

void gpRunSuiteProgram(const SuiteProgramArgs& args) {
    // The program's own exit status means nothing to the suite; a failed start is ignored too.
    SyncShell(escapeForSplit(programPath(args), true) + u' ' +
              escapeForSplit(switchText(args), false));
}

} // namespace vx
