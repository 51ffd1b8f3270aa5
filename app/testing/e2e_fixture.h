#pragma once
// The end-to-end fixture: the program itself run with --pdf and --text on a prepared store of
// each engine, its pages and PDF text read back, and the steps that make one engine's server fail.
#include "app/report/testing/report_fixture.h"
#include "datapath/clsdatapath.h"
#include "platform/regional.h"
#include "platform/settings.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>

namespace vx::e2e {
// The pages a run must produce (app/testing/e2e_pages.cpp); empty for an unknown name.
QString expectedPages(const QString& caseName);
} // namespace vx::e2e

namespace vx::report::test {

// A full disk: a small memory filesystem over `folder` for one run, holding the previous `file`
// (`content`) and a filler; what it holds at the end, filler aside, is copied to `seen`.
struct FullDisk {
    QString folder, file, seen;
    QByteArray content;

    QStringList wrap(const QStringList& program) const {
        vx::test::TestEnv::writeFile(seen + QStringLiteral(".old"), content);
        QDir().mkpath(folder);
        QDir().mkpath(seen);
        const QString script = QStringLiteral(
            R"(dir=$1 file=$2 old=$3 seen=$4; shift 4
mount -t tmpfs -o size=64k tmpfs "$dir" || exit 90
cp "$old" "$dir/$file" || exit 91
cat /dev/zero >"$dir/.filler" 2>/dev/null
"$@"; status=$?
rm "$dir/.filler"
cp -a "$dir/." "$seen/"
exit $status)");
        return QStringList{"unshare", "-Urm", "sh", "-c",          script,
                           "sh",      folder, file, seen + ".old", seen} +
               program;
    }
};

struct ProgramRun {
    int status = -1;
    QString err, pages, pdfText; // pages: the text dump; pdfText: pdftotext of the PDF
};

class EndToEnd : public ReportDb {
  protected:
    void SetUp() override {
        ReportDb::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        data_ = gDataPath().DataPath();
        setting("DATAPATH", data_);
        env_.writeFile(data_ + "/WINREGS.INI", "[JOVURM]\r\nCompany=Corner Shop\r\n");
        // Only an exact "Yes" shows store 1's number.
        env_.writeFile(data_ + "/JOV.INI",
                       "[DAILY REPORTS]\r\nShow Store Number for Store 1 on Reports=yes\r\n");
        openStore();
        fillStore();
    }

    void fillStore() {
        addVendor("V1", "Acme Supply");
        addVendor("V2", "Beta & Sons, Ltd.");
        addItem(1, 20000, "1001", "WIDGET", "Blue widget", 12500, 6);
        addItem(2, 50000, "1002", "GADGET", "Gadget", 30000, 1);
        // January: an order's rows together and apart, missing item and vendor, the range's ends.
        addHeader({"200", "VP-200", "V1", "R"});
        addHistory({"100", "V2", "20240101", 1, 2, 12500});
        addHistory({"100", "V2", "20240101", 99, 1, 30000});
        addHistory({"150", "V1", "20240131", 2, 1, 12345000});
        addHistory({"200", "V1", "20240106", 2, 3, 10000});
        addHistory({"300", "V9", "20240108", 2, 1, 40});
        addHistory({"100", "V2", "20240107", 1, 1, 5000, "U"});
        addHistory({"050", "V1", "20231231", 1, 1, 10000});
        addHistory({"160", "V1", "20240201", 1, 1, 10000});
        addHistory({"060", "V1", "20240110", 1, 1, 10000, "X"});
        // Input VAT of orders changed in January, one per vendor (engines order a vendor's freely).
        addHeader({"400", "VP-400", "V1", "C", "", "20240101", " 12.5 "});
        addHeader({"401", "VP-401", "V3", "B", "", "20240112", "1234.56"}); // no such vendor
        addHeader({"402", "VP-402", "V2", "U", "", "20240131", "7"});
        addHeader({"403", "VP-403", "V1", "X", "", "20240113", "99"});
        addHeader({"404", "VP-404", "V1", "C", "", "20240201", "99"});
        addHeader({"405", "VP-405", "V2", "B", "", "20240114", ""});
        // Cancelled orders; one before the range, one closed but not cancelled.
        addHeader({"500", "VP-500", "V2", "X", "20240120", "", "", "JANE", "20240105"});
        addLine("500", 1, 1, 2);
        addLine("500", 2, 99, 1);
        addLine("500", 3, 2, 0);
        addHeader({"501", "VP-501", "V1", "X", "20240111", "", "", "BOB", "20240102"});
        addLine("501", 1, 2, 1.5f);
        addHeader({"502", "VP-502", "V2", "C", "20240115"});
        addHeader({"503", "VP-503", "V1", "X", "20231215", "", "", "AL", "20231201"});
        addLine("503", 1, 2, 1);
        // Long names, S/L codes and amounts show whole.
        addVendor("V7", "Bergeron Off-Field Supplies and Sons");
        addItem(3, 0, "10000033", "LONG", "Long item", 4912658045800LL, 1);
        addHeader({"700", "VP-700", "V7", "X", "20240125", "", "", "JANE", "20240105"});
        addLine("700", 1, 3, 2);
        // March: orders of one vendor for a second page, added in date order.
        addVendor("V4", "Delta Wholesale");
        for (int i = 0; i < 60; ++i)
            addHistory({("M" + QByteArray::number(100 + i)).constData(), "V4",
                        ("202403" + QByteArray::number(10 + i / 3)).constData(), 1, 1,
                        10000 + 2500 * i});
    }

    ProgramRun run(const QString& commandLine, bool yes = false, const FullDisk* full = nullptr,
                   const std::function<void()>& whileRunning = {}) {
        ProgramRun r;
        const QString pdf =
            (full && full->file == "out.pdf" ? full->folder : env_.root()) + "/out.pdf";
        const QString text = env_.root() + "/out.txt";
        QFile::remove(pdf);
        QFile::remove(text);
        QProcess p;
        QStringList args{vx::test::binDir() + "/vantrex-report", "--pdf", pdf, "--text", text};
        if (full)
            args = full->wrap(args);
        p.start(args.takeFirst(), args << (yes ? "--yes" : "--batch") << commandLine);
        if (whileRunning)
            whileRunning();
        p.waitForFinished(120000);
        r.status = p.exitCode();
        r.err = QString::fromUtf8(p.readAllStandardError());
        if (QFile::exists(text))
            r.pages = normalise(QString::fromUtf8(env_.readFile(text)));
        if (QFile::exists(pdf)) {
            QProcess t;
            t.start("pdftotext", {"-layout", pdf, "-"});
            t.waitForFinished(60000);
            r.pdfText = normalise(QString::fromUtf8(t.readAllStandardOutput()));
        }
        return r;
    }

    // The footer's date and time, and today's date, in a form that does not change.
    static QString normalise(QString text) {
        // The time is right-aligned and its width varies: where it starts does not matter.
        static const QRegularExpression now(R"( +\d{1,2}/\d{1,2}/\d{4} \d{1,2}:\d\d [AP]M)");
        text.replace(now, " <now>");
        return text.replace(formatDate(QDate::currentDate(), "Short Date"), "<today>");
    }

    // The words of each non-empty line, pages apart; a rule (cut glyphs and all) is one word.
    static QStringList lineWords(const QString& text) {
        static const QRegularExpression rule("_{20,}[-_ ]*");
        QStringList out;
        for (QString line : QString(text).replace(u'\f', "\n<page>\n").split(u'\n'))
            if (line = line.replace(rule, "<rule> ").simplified(); !line.isEmpty())
                out << line;
        while (!out.isEmpty() && out.last() == QStringLiteral("<page>"))
            out.removeLast();
        return out;
    }

    void expectPages(const char* name, const ProgramRun& r) {
        const QString expected = e2e::expectedPages(QString::fromLatin1(name));
        EXPECT_EQ(r.pages, expected) << name;
        EXPECT_EQ(lineWords(r.pdfText), lineWords(expected)) << name;
    }

    // The disk fills while a file is written: one message, a failed status, the old file intact.
    void fullDisk() {
        struct Case {
            const char* name;
            QString folder, file;
            const char* message;
            int status;
        };
        const QString full = env_.root() + QStringLiteral("/full");
        const Case cases[] = {
            {"PDF", full, "out.pdf", "The document could not be written to ", 1},
            {"export", data_ + QStringLiteral("/export"), "Vantrex20240131.txt",
             "The export file could not be written.", 4},
            {"spec file", env_.programDir(), "RptVantrex.RSF",
             "The report specifications could not be saved in ", 1},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            const QByteArray previous = QByteArray("what the previous run wrote to ") + c.name;
            FullDisk disk{c.folder, c.file, env_.root() + "/seen-" + QString::number(&c - cases),
                          previous};
            const ProgramRun r =
                run(QStringLiteral("START=01/01/2024|END=01/31/2024|EXPORT=Y"), false, &disk);
            EXPECT_EQ(r.status, c.status) << r.err.toStdString();
            EXPECT_TRUE(r.err.count("could not be") == 1 &&
                        r.err.contains(QLatin1String(c.message)) &&
                        r.err.contains("No space left on device"))
                << r.err.toStdString();
            EXPECT_EQ(env_.readFile(disk.seen + u'/' + c.file), previous);
            QStringList left = QDir(disk.seen).entryList(QDir::Files | QDir::Hidden);
            left.removeAll(QStringLiteral("52.txt")); // the connection trace
            EXPECT_EQ(left, QStringList{c.file});
            EXPECT_EQ(r.pdfText.isEmpty(), c.status != 4); // the document comes before the export
        }
    }

    // The history table becomes a view whose filter runs `action` at one March row (not in the
    // count that comes first), so the server fails part way through the received orders.
    void historyFailsWith(const QString& action) {
        ASSERT_TRUE(db().raw(QStringLiteral("CREATE OR REPLACE FUNCTION vx_alive(line text) "
                                            "RETURNS boolean LANGUAGE plpgsql AS "
                                            "$$ BEGIN IF position('M130' in line) > 0 AND "
                                            "current_query() NOT ILIKE '%COUNT(*)%' "
                                            "THEN %1; END IF; RETURN true; END $$")
                                 .arg(action)));
        ASSERT_TRUE(db().raw(QStringLiteral(
            "DO $$ DECLARE t text; BEGIN "
            "SELECT table_name INTO t FROM information_schema.tables WHERE lower(table_name) "
            "LIKE 'pohistory%' AND table_type = 'BASE TABLE' AND table_schema = current_schema(); "
            "IF t IS NOT NULL THEN "
            "EXECUTE format('ALTER TABLE %I RENAME TO history_rows', t); EXECUTE format('CREATE "
            "VIEW %I AS SELECT * FROM history_rows h WHERE vx_alive(h::text)', t); END IF; END "
            "$$")));
    }

    // The server's process stops (as a frozen server does) while it reads the report's rows: the
    // run gives up within the time limit, says so once, and writes nothing.
    void frozenServer() {
        historyFailsWith(QStringLiteral("PERFORM pg_sleep(8)"));
        QString pid;
        QElapsedTimer sinceFreeze;
        const ProgramRun r =
            run(QStringLiteral("START=03/01/2024|END=03/31/2024"), false, nullptr, [&] {
                for (int i = 0; i < 150 && pid.isEmpty(); ++i) {
                    QThread::msleep(50);
                    pid = db().rawValue(QStringLiteral("SELECT COALESCE(MAX(pid)::text, "
                                                       "'') FROM pg_stat_activity WHERE "
                                                       "wait_event = 'PgSleep' AND datname "
                                                       "= current_database() AND pid "
                                                       "<> pg_backend_pid()"))
                              .value_or(QString());
                }
                if (!pid.isEmpty())
                    ::kill(pid.toInt(), SIGSTOP);
                sinceFreeze.start();
            });
        const qint64 ms = sinceFreeze.elapsed();
        ASSERT_FALSE(pid.isEmpty()) << "the report's read never reached the row";
        ::kill(pid.toInt(), SIGCONT);
        EXPECT_EQ(r.status, 2) << r.err.toStdString();
        EXPECT_LT(ms, 45000);
        EXPECT_EQ(r.err.count("stopped answering: it gave no answer within 30 seconds."), 1)
            << r.err.toStdString();
        EXPECT_EQ(r.err.count("could not be read to the end."), 1) << r.err.toStdString();
        EXPECT_TRUE(r.pages.isEmpty());
        EXPECT_TRUE(r.pdfText.isEmpty());
    }

    // The session ends part way through the received orders: said once, no pages.
    void serverGone() {
        historyFailsWith(QStringLiteral("PERFORM pg_terminate_backend(pg_backend_pid()); "
                                        "PERFORM pg_sleep(10)"));
        const ProgramRun r = run(QStringLiteral("START=03/01/2024|END=03/31/2024"));
        EXPECT_EQ(r.status, 2) << r.err.toStdString();
        EXPECT_EQ(r.err.count("could not be read to the end."), 1) << r.err.toStdString();
        EXPECT_EQ(r.err.count("The connection to the database server "), 1) << r.err.toStdString();
        EXPECT_EQ(r.err.count("JOV MSDE"), 0) << r.err.toStdString(); // said once, not twice
        EXPECT_TRUE(r.pages.isEmpty());
        EXPECT_TRUE(r.pdfText.isEmpty());
    }

    // A login that may only read cannot make another store's tables, and says so.
    void readOnly() {
        const QString reader = db().login().user + QStringLiteral("_reader");
        ASSERT_TRUE(
            db().raw(QStringLiteral("GRANT SELECT ON ALL TABLES IN SCHEMA public TO ") + reader));
        setting("UserName", reader);
        const ProgramRun other = run(QStringLiteral("START=01/01/2024|END=01/31/2024|STORE=5"));
        EXPECT_EQ(other.status, 2);
        EXPECT_TRUE(
            other.err.contains("The table POHistory5 does not exist and could not be created") &&
            other.err.contains("permission denied"))
            << other.err.toStdString();
        setting("UserName", db().login().user);
    }

    // SQL Server, played by a test ODBC driver that records what it receives and hands it on
    // rewritten to the test server: what the record manager sent must arrive unchanged, in order.
    void asSqlServer() {
        const QString server = db().login().server;
        setting("Server", QString(server).replace(QStringLiteral("{PostgreSQL Unicode}"),
                                                  QStringLiteral("{" VANTREX_ODBC_SHIM "}")));
        const QString sent = env_.root() + "/sent.txt", received = env_.root() + "/received.txt";
        env_.setEnv("VANTREX_SQL_TRACE", sent);
        env_.setEnv("VANTREX_SHIM_LOG", received);
        env_.setEnv("VANTREX_LOOKUPS", QStringLiteral("keyed")); // the keyed reads, every one
        const ProgramRun r = run(QStringLiteral("START=01/01/2024|END=01/31/2024"));
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        expectPages("received", r);
        const auto lines = [this](const QString& file) {
            return QString::fromUtf8(env_.readFile(file))
                .split(QRegularExpression(QStringLiteral("\r?\n")), Qt::SkipEmptyParts);
        };
        const QStringList built = lines(sent), arrived = lines(received);
        // On an up-to-date store the upgrade steps only read SQL Server's catalogue.
        EXPECT_EQ(dbtest::changingStatements(sent), QStringList());
        qsizetype at = 0;
        for (const QString& statement : built) {
            const qsizetype found = arrived.indexOf(statement, at);
            ASSERT_GE(found, 0) << "sent but not received as sent: " << statement.toStdString();
            // Between two of them only the backend's own statements: the server's catalogue.
            for (qsizetype i = at; i < found; ++i)
                EXPECT_TRUE(arrived[i].startsWith(
                                QStringLiteral("SELECT name FROM master..sysdatabases")) ||
                            arrived[i].startsWith(
                                QStringLiteral("SELECT TABLE_NAME FROM INFORMATION_SCHEMA.TABLES")))
                    << arrived[i].toStdString();
            at = found + 1;
        }
        env_.setEnv("VANTREX_SQL_TRACE", QString());
        setting("Server", server);
    }

    void setting(const char* key, const QString& value) {
        SaveSetting("JOV Settings", "DATABASE", key, value);
    }

    QString data_;
};

} // namespace vx::report::test
