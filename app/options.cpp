#include "app/options.h"

namespace vx {

namespace {

// "--pdf" or "--text" when `arg` is that option, alone or as "--pdf=FILE"; else empty.
QString fileOption(const QString& arg) {
    for (const char* name : {"--pdf", "--text"}) {
        const QLatin1String n(name);
        if (arg == n || arg.startsWith(n + u'='))
            return n;
    }
    return QString();
}

} // namespace

ProgramOptions parseProgramOptions(const QStringList& args, bool hasDisplay) {
    ProgramOptions o;
    QStringList words;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (optionsEnded || !a.startsWith(QLatin1String("--"))) {
            words << a;
        } else if (a == QLatin1String("--")) {
            optionsEnded = true;
        } else if (a == QLatin1String("--batch")) {
            o.batch = true;
        } else if (a == QLatin1String("--yes")) {
            o.yes = true;
        } else if (a == QLatin1String("--help")) {
            o.help = true;
        } else if (a == QLatin1String("--version")) {
            o.version = true;
        } else if (const QString name = fileOption(a); !name.isEmpty()) {
            QString& file = name == QLatin1String("--pdf") ? o.pdfFile : o.textFile;
            if (a.size() > name.size())
                file = a.mid(name.size() + 1);
            else if (i + 1 < args.size())
                file = args[++i];
            if (file.isEmpty())
                o.error = name + QStringLiteral(" needs a file name");
        } else {
            o.error = QStringLiteral("unknown option %1").arg(a);
        }
    }
    o.commandLine = words.join(u' ');
    if (!o.pdfFile.isEmpty() || !o.textFile.isEmpty() || !hasDisplay)
        o.batch = true;
    return o;
}

QString usageText() {
    return QStringLiteral(
        "Usage: vantrex-report [options] [--] "
        "'START=...|END=...|DELETED=...|TAX=...|STORE=...|EXPORT=...'\n"
        "\n"
        "Produces the purchase-order summary report of the store's database for a date range.\n"
        "Without START= the report specifications dialog opens.\n"
        "\n"
        "Options:\n"
        "  --batch      show no window; messages go to standard error, questions are answered No\n"
        "  --yes        in a batch run, answer questions Yes\n"
        "  --pdf FILE   write the finished document to FILE as PDF and end (implies --batch)\n"
        "  --text FILE  write the document's pages to FILE as plain text and end (implies\n"
        "               --batch; with --pdf both are written)\n"
        "  --help       show this text\n"
        "  --version    show the program's version\n"
        "\n"
        "Exit status: 0 a document was produced, 1 nothing to show, 2 start-up failed,\n"
        "3 bad usage, 4 a document was produced but its export file was not written.\n");
}

} // namespace vx
