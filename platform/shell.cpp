#include "platform/shell.h"

#include <QFile>
#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace vx {

QStringList splitCommandLine(const QString& commandLine) {
    QStringList words;
    QString word;
    bool inWord = false;
    enum { None, Single, Double } quote = None;
    for (qsizetype i = 0; i < commandLine.size(); ++i) {
        const QChar c = commandLine[i];
        if (quote == Single) {
            if (c == u'\'')
                quote = None;
            else
                word += c;
        } else if (quote == Double) {
            if (c == u'"')
                quote = None;
            else if (c == u'\\' && i + 1 < commandLine.size() &&
                     (commandLine[i + 1] == u'"' || commandLine[i + 1] == u'\\'))
                word += commandLine[++i];
            else
                word += c;
        } else if (c == u' ' || c == u'\t' || c == u'\n') {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
        } else {
            inWord = true;
            if (c == u'\'')
                quote = Single;
            else if (c == u'"')
                quote = Double;
            else if (c == u'\\' && i + 1 < commandLine.size())
                word += commandLine[++i];
            else
                word += c;
        }
    }
    if (inWord)
        words << word;
    return words;
}

int SyncShell(const QString& commandLine) {
    const QStringList words = splitCommandLine(commandLine);
    if (words.isEmpty())
        return -1;
    std::vector<QByteArray> bytes;
    for (const QString& w : words)
        bytes.push_back(QFile::encodeName(w));
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int rc = bytes[0].contains('/')
                       ? ::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ)
                       : ::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
    if (rc != 0)
        return -1;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return -1;
}

} // namespace vx
