// vantrex-pdf-probe: the PDF writer chosen by measurement. Runs the report as the program does
// (the same start-up, the report into a document), then writes that document's pages through
// each candidate writer, timed: on the main thread after the report, and on a painting thread
// that takes each page through a bounded queue while the report lays out the next. Then checks
// every file with poppler's tools and prints a table of the figures.
//
//   vantrex-pdf-probe [--runs N] [--out DIR] [--engines qt,cairo,haru] [--bbox-pages N]
//                     'START=...|END=...'
//
// It runs in the environment of a store (HOME, XDG_CONFIG_HOME, JOV_PROGRAM_DIR) as the report
// program does; see bench/README.md, "Choosing the PDF writer".
#include "bench/pdf_probe.h"

#include "app/direct_run.h"
#include "app/options.h"
#include "app/report/report_run.h"
#include "app/startup.h"
#include "platform/messages.h"
#include "platform/runtime.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace {

using namespace vx;
using output::Page;
using output::PdfPageWriter;

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}
double threadCpu() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}
double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

struct Candidate {
    QString name;
    std::function<std::unique_ptr<PdfPageWriter>()> make;
};

// Pages on their way from the layout to the painting thread; at most `max` wait.
class PageQueue {
  public:
    explicit PageQueue(size_t max) : max_(max) {}
    // Returns how long the layout waited for room.
    double push(const Page& page) {
        const auto start = std::chrono::steady_clock::now();
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return pages_.size() < max_; });
        const double waited = seconds(start);
        pages_.push_back(page);
        changed_.notify_all();
        return waited;
    }
    bool pop(Page& page) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return !pages_.empty() || closed_; });
        if (pages_.empty())
            return false;
        page = std::move(pages_.front());
        pages_.pop_front();
        changed_.notify_all();
        return true;
    }
    void close() {
        std::lock_guard lock(mutex_);
        closed_ = true;
        changed_.notify_all();
    }

  private:
    const size_t max_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Page> pages_;
    bool closed_ = false;
};

// The report's document, keeping the information a PDF of it names.
class ProbeDocument : public output::Document {
  public:
    void setDocumentInfo(const QString& title, const QString& author) override {
        info.title = title;
        info.author = author;
        info.creator = productName() + u' ' + productVersion();
        Document::setDocumentInfo(title, author);
    }
    output::PdfInfo info;
};

// Each run into a fresh document; `onPage` hears every page as soon as it is complete.
class ProbeHost : public report::ReportHost {
  public:
    output::ReportPrinter& printer() override {
        doc = std::make_unique<ProbeDocument>();
        unloaded = false;
        if (onPage)
            doc->setEvents({[this](int n) { onPage(*doc, n); }, {}});
        return *doc;
    }
    void unloadPreview() override { unloaded = true; }

    std::function<void(const ProbeDocument&, int)> onPage;
    std::unique_ptr<ProbeDocument> doc;
    bool unloaded = false;
};

double runReport(ProbeHost& host) {
    const auto start = std::chrono::steady_clock::now();
    gpPrepareDirectRun();
    report::setReportHost(&host);
    report::gpRunReport();
    report::setReportHost(nullptr);
    return seconds(start);
}

struct Timing {
    double wall = 0, cpu = 0, waited = 0;
    QString error;
};

// Every page through the writer, on this thread.
Timing writeAll(const Candidate& c, const ProbeDocument& doc, const QString& path) {
    Timing t;
    const auto start = std::chrono::steady_clock::now();
    const double cpu = threadCpu();
    const auto writer = c.make();
    bool ok = writer->begin(path, doc.pageSize(), doc.info, &t.error);
    for (int n = 1; ok && n <= doc.pageCount(); ++n)
        writer->addPage(doc.page(n));
    ok = ok && writer->finish(&t.error);
    t.cpu = threadCpu() - cpu;
    t.wall = seconds(start);
    return t;
}

// A report run whose pages are painted on a second thread while it lays out the next ones; the
// time is the run's, up to the finished file.
Timing runThreaded(const Candidate& c, ProbeHost& host, const QString& path) {
    Timing t;
    PageQueue queue(32);
    std::thread painter;
    host.onPage = [&](const ProbeDocument& doc, int n) {
        if (n == 1) {
            painter = std::thread([&, size = doc.pageSize(), info = doc.info] {
                const double cpu = threadCpu();
                const auto writer = c.make();
                bool ok = writer->begin(path, size, info, &t.error);
                for (Page page; queue.pop(page);)
                    if (ok)
                        writer->addPage(page);
                if (ok)
                    writer->finish(&t.error);
                t.cpu = threadCpu() - cpu;
            });
        }
        t.waited += queue.push(doc.page(n));
    };
    const auto start = std::chrono::steady_clock::now();
    runReport(host);
    queue.close();
    if (painter.joinable())
        painter.join();
    t.wall = seconds(start);
    host.onPage = {};
    return t;
}

// The footer's time of day changes between runs; it is left out where texts of runs are compared.
QString withoutClock(QString text) {
    static const QRegularExpression clock(QStringLiteral("\\b\\d{1,2}:\\d\\d [AP]M\\b"));
    return text.replace(clock, QStringLiteral("h:mm"));
}

QString yesNo(bool b) {
    return b ? QStringLiteral("yes") : QStringLiteral("no");
}

struct Options {
    int runs = 3;
    int bboxPages = 20;
    QString out = QStringLiteral("/tmp/vantrex-pdf-probe");
    QStringList engines{QStringLiteral("qt"), QStringLiteral("cairo"), QStringLiteral("haru")};
};

int probe(const Options& o) {
    QList<Candidate> candidates;
    for (const QString& e : o.engines) {
        if (e == QLatin1String("qt"))
            candidates.append({e, [] { return makePdfPageWriter(output::PdfEngine::Qt); }});
        else if (e == QLatin1String("cairo"))
            candidates.append({e, [] { return makePdfPageWriter(output::PdfEngine::Cairo); }});
#ifdef VANTREX_PROBE_HARU
        else if (e == QLatin1String("haru"))
            candidates.append({e, [] { return bench::makeHaruPdfWriter(); }});
#endif
    }
    QDir().mkpath(o.out);
    ProbeHost host;
    std::vector<double> report;
    for (int r = 0; r < o.runs; ++r) {
        report.push_back(runReport(host));
        std::fprintf(stderr, "probe: report alone %.2f s\n", report.back());
    }
    if (!host.doc || host.unloaded || host.doc->pageCount() == 0) {
        std::fputs("probe: the report produced no pages\n", stderr);
        return 1;
    }
    std::unique_ptr<ProbeDocument> doc = std::move(host.doc);
    const bench::ShapeCheck shaping = bench::compareShaping(*doc);
    std::printf("Pages: %d. Distinct texts: %lld; largest distance between a glyph placed by "
                "QRawFont's kerned advances and by Qt's text layout: %.3f twips.\n\n",
                doc->pageCount(), static_cast<long long>(shaping.texts), shaping.maxShift);

    struct Row {
        std::vector<double> wall, cpu, threaded, painterCpu, waited;
        bool sameBytes = true;
        QString error;
    };
    std::vector<Row> rows(candidates.size());
    const auto file = [&](const Candidate& c, const char* kind) {
        return o.out + u'/' + c.name + QLatin1String(kind) + QStringLiteral(".pdf");
    };
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        QByteArray first;
        for (int r = 0; r < o.runs; ++r) {
            const Timing t = writeAll(candidates[i], *doc, file(candidates[i], ""));
            rows[i].wall.push_back(t.wall);
            rows[i].cpu.push_back(t.cpu);
            rows[i].error = t.error;
            QFile f(file(candidates[i], ""));
            f.open(QIODevice::ReadOnly);
            const QByteArray bytes = bench::withoutTimes(f.readAll());
            rows[i].sameBytes = rows[i].sameBytes && (r == 0 || bytes == first);
            if (r == 0)
                first = bytes;
            std::fprintf(stderr, "probe: %s write %.2f s (cpu %.2f)\n",
                         qPrintable(candidates[i].name), t.wall, t.cpu);
        }
    }
    doc.reset();
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        for (int r = 0; r < o.runs; ++r) {
            const Timing t = runThreaded(candidates[i], host, file(candidates[i], "-threaded"));
            rows[i].threaded.push_back(t.wall);
            rows[i].painterCpu.push_back(t.cpu);
            rows[i].waited.push_back(t.waited);
            std::fprintf(stderr,
                         "probe: %s report + painting thread %.2f s (painter cpu %.2f, "
                         "layout waited %.2f)\n",
                         qPrintable(candidates[i].name), t.wall, t.cpu, t.waited);
        }
        host.doc.reset();
    }

    const double alone = median(report);
    std::printf("Report alone (no PDF): %.2f s, median of %d.\n\n", alone, o.runs);
    std::printf("| engine | write, 1 thread (cpu) | report + write, 1 thread | report + write, "
                "painting thread (painter cpu, layout waited) | file | pages | fonts embedded "
                "(subset) | text as Qt's (-layout) | words as Qt's | threaded text same | "
                "same bytes on rewrite | word edges vs Qt (x, y twips) | title/author/creator |\n"
                "|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    const bench::PdfChecks qt = bench::checkPdf(file(candidates[0], ""));
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        const Candidate& c = candidates[i];
        const bench::PdfChecks k = bench::checkPdf(file(c, ""));
        const bench::PdfChecks threaded = bench::checkPdf(file(c, "-threaded"));
        const bench::WordShift shift =
            bench::compareWordBoxes(file(candidates[0], ""), file(c, ""), o.bboxPages);
        const Row& r = rows[i];
        std::printf("| %s | %.2f (%.2f) | %.2f | %.2f (%.2f, %.2f) | %.1f MB | %d | %s: %s | %s | "
                    "%s | %s | %s | %.2f, %.2f | %s / %s / %s |\n",
                    qPrintable(c.name), median(r.wall), median(r.cpu), alone + median(r.wall),
                    median(r.threaded), median(r.painterCpu), median(r.waited),
                    double(k.bytes) / 1e6, k.pages, qPrintable(yesNo(k.fontsEmbedded)),
                    qPrintable(k.fonts.join(QStringLiteral(", "))),
                    qPrintable(yesNo(k.text == qt.text)),
                    qPrintable(yesNo(bench::wordsOf(k.text) == bench::wordsOf(qt.text))),
                    qPrintable(yesNo(withoutClock(threaded.text) == withoutClock(k.text))),
                    qPrintable(yesNo(r.sameBytes)), shift.x, shift.y, qPrintable(k.title),
                    qPrintable(k.author), qPrintable(k.creator));
        if (!r.error.isEmpty())
            std::printf("  %s: %s\n", qPrintable(c.name), qPrintable(r.error));
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    QStringList rest;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromUtf8(argv[i]);
        const bool hasValue = i + 1 < argc;
        if (a == QLatin1String("--runs") && hasValue)
            o.runs = std::max(1, QString::fromUtf8(argv[++i]).toInt());
        else if (a == QLatin1String("--out") && hasValue)
            o.out = QString::fromUtf8(argv[++i]);
        else if (a == QLatin1String("--engines") && hasValue)
            o.engines = QString::fromUtf8(argv[++i]).split(QLatin1Char(','));
        else if (a == QLatin1String("--bbox-pages") && hasValue)
            o.bboxPages = QString::fromUtf8(argv[++i]).toInt();
        else
            rest << a;
    }
    if (rest.isEmpty()) {
        std::fputs("usage: vantrex-pdf-probe [--runs N] [--out DIR] [--engines qt,cairo,haru] "
                   "[--bbox-pages N] 'START=...|END=...'\n",
                   stderr);
        return 3;
    }
    // As a batch run of the program: offscreen, every box on stderr; the report itself runs
    // through the windowed start's hook, which hands it to the probe instead of a preview.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(productName());
    QCoreApplication::setApplicationVersion(productVersion());
    BatchMessageService messages;
    setMessageService(&messages);
    const ProgramOptions options = parseProgramOptions(rest, true);
    runtimeOptions().batch = false;
    int status = 1;
    setWindowedStart({[&] { return status = probe(o); }, {}});
    const int started = Main(options);
    setWindowedStart({});
    setMessageService(nullptr);
    return started == 0 ? status : started;
}
