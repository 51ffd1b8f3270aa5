#include "db/connect.h"

#include "datapath/clsdatapath.h"
#include "datapath/network_check.h"
#include "db/state.h"
#include "db/table_ops.h"
#include "platform/err.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/runtime.h"
#include "platform/settings.h"
#include "platform/textfile.h"
#include "util/files.h"
#include "util/ini_services.h"
#include "util/launcher.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace vx::db {

namespace {

const QString kApp = QStringLiteral("JOV Settings");
const QString kSection = QStringLiteral("DATABASE");
constexpr int kStartupFailed = 2;

QString setting(const QString& key, const QString& def = QString()) {
    return GetSetting(kApp, kSection, key, def);
}

// The folder a bare "sqlite:" server stands for, and the local safe copy's folder.
QString dataFolder() {
    return nativePath(gDataPath().DataPath());
}
QString safeFolder() {
    return nativePath(QStringLiteral("C:\\jovsafe"));
}

// The engine of a server setting. In local mode the suite names the station's own server
// (computer\JOVSERVER); here the local safe copy is the embedded database in the safe folder.
std::unique_ptr<Engine> engineForServer(const QString& server) {
    if (safeStubState().gbLocalMode &&
        server.endsWith(QLatin1String("\\JOVSERVER"), Qt::CaseInsensitive))
        return engineFor(QStringLiteral("sqlite:") + safeFolder(), dataFolder());
    return engineFor(server, dataFolder());
}

Login login(const QString& database) {
    const DbState& s = dbState();
    return Login{s.gsDBServer, database, s.gsDBUserName, s.gsDBPassword};
}

} // namespace

QString traceFile() {
    return joinPath(programDir(), QStringLiteral("52.txt"));
}

void gpTrace(const QString& line) {
    appendLines(traceFile(), {line});
}

QString gsDB_RunDataConfiguration() {
    SuiteProgramArgs args;
    args.program = QStringLiteral("JOVDataConfiguration");
    // The suite keeps its programs in the program folder; a build or an unpacked copy keeps them
    // beside this program.
    QStringList folders{programDir(), QCoreApplication::applicationDirPath()};
    folders.removeDuplicates();
    for (const QString& folder : folders) {
        if (QFileInfo(joinPath(folder, args.program)).isExecutable()) {
            args.folder = folder;
            break;
        }
    }
    if (args.folder.isEmpty()) {
        MsgBox(QStringLiteral("No database server is set, and the program that sets one, %1, is "
                              "not in %2.")
                   .arg(args.program, folders.join(QStringLiteral(" or "))),
               MsgButtons::Ok, MsgIcon::Critical, QStringLiteral("JOV MSDE"));
        return QString();
    }
    gpRunSuiteProgram(args);
    return setting(QStringLiteral("Server"));
}

void gpDB_SaveServerName() {
    gIni().WriteData(kSection, QStringLiteral("SERVERNAME"), dbState().gsDBServer);
}

bool gfbDB_ServerCheck() {
    DbState& s = dbState();
    const bool local = safeStubState().gbLocalMode;

    s.gsDBName = setting(QStringLiteral("DBName"));
    s.gsDBServer = setting(QStringLiteral("Server"));
    if (s.gsDBServer.trimmed().isEmpty())
        s.gsDBServer = gsDB_RunDataConfiguration();
    if (s.gsDBServer.trimmed().isEmpty())
        endProgram(kStartupFailed);

    s.gsDBName = local ? QStringLiteral("JOVRemote") : setting(QStringLiteral("DBName"));
    s.gsDBPassword = setting(QStringLiteral("Password")).trimmed();
    s.gsDBUserName = setting(QStringLiteral("UserName"), QStringLiteral("sa"));
    gpTrace(s.gsDBName);

    bool replaced = false;
    if (local) {
        s.gsDBServer = computerName() + QStringLiteral("\\JOVSERVER");
        gpTrace(s.gsDBServer);
        replaced = true;
        gpDB_SaveServerName();
    }

    gpTrace(QStringLiteral("Servername = ") + s.gsDBServer);
    gpTrace(QStringLiteral("set Server "));
    s.engine = engineForServer(s.gsDBServer);
    auto fail = [](const QString& description, long number) {
        MsgBox(description + QString::number(number), MsgButtons::Ok, MsgIcon::Critical,
               QStringLiteral("JOV MSDE"));
        return false;
    };
    if (!s.engine)
        return fail(QStringLiteral("[%1] is not a database server this program can reach. "
                                   "Run the Database Configuration to choose one.")
                        .arg(s.gsDBServer),
                    429);
    s.goDBServer = s.engine->server();
    gpTrace(QStringLiteral("Server set "));
    // The password never reaches the trace file.
    gpTrace(QStringLiteral("Connect now ") + s.gsDBServer + u' ' + s.gsDBUserName +
            QStringLiteral(" ****"));
    const int status = s.goDBServer->connect(login(s.gsDBName));
    pumpEvents();
    gpTrace(QStringLiteral("Server Status = ") + QString::number(status));
    if (status != 1) {
        const DbError e = s.goDBServer->lastError();
        return fail(e.description, e.number);
    }
    if (replaced)
        gpDB_SaveServerName();
    // The clock is not set from the server machine; the trace still records the step.
    gpTrace(QStringLiteral("Server Name = ") + s.goDBServer->machine());
    gpTrace(QStringLiteral("Time verified"));
    return true;
}

void gpDB_Connect(QString& dbName) {
    DbState& s = dbState();
    if (dbName.isEmpty())
        dbName = s.gsDBName;
    if (!s.engine)
        s.engine = engineForServer(s.gsDBServer);
    s.gbDBConnected = false;
    if (!s.engine)
        return;
    s.gDBRecordsets.clear();
    s.gDBRecordsets.resize(s.gDBTables.size());
    s.gcnDatabase = s.engine->connection();
    if (s.gcnDatabase && s.gcnDatabase->open(login(dbName)))
        s.gbDBConnected = s.gcnDatabase->state() == 1;
}

bool gfbDB_DatabaseExists() {
    DbState& s = dbState();
    if (safeStubState().gbLocalMode) {
        const QString name = QStringLiteral("JOVRemote");
        if (!gfbFileExists(joinPath(safeFolder(), name + QStringLiteral(".sqlite"))))
            return false;
        s.gsDBName = name;
        return true;
    }
    if (s.gsDBName.trimmed().isEmpty() || !s.goDBServer)
        return false;
    const auto names = s.goDBServer->databases();
    if (!names) {
        const DbError e = s.goDBServer->lastError();
        Err().Raise(e.number ? e.number : kErrEngine, e.description);
        return false;
    }
    // The server's names compare ignoring case and blanks, as the suite's server does; the
    // database is then opened by the name the server gives it (engines whose names are case
    // sensitive would not find "jov" for "JOV"). An exact match wins over a near one.
    const QString wanted = s.gsDBName.trimmed();
    QString found;
    for (const QString& n : *names) {
        if (n.trimmed() == wanted) {
            found = n;
            break;
        }
        if (found.isEmpty() && n.trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
            found = n;
    }
    if (found.isEmpty())
        return false;
    s.gsDBName = found;
    return true;
}

void gfbDB_MissingDatabase() {
    MsgBox(QStringLiteral("Database not found.\r\n"
                          "If you are trying to connect to an existing database then run the "
                          "Database Configuration.\r\n"
                          "To create a new database or convert files from Pervasive run Tillmark"),
           MsgButtons::Ok, MsgIcon::Critical);
    endProgram(kStartupFailed);
}

bool gfbDB_Startup(const QString& /*unused*/) {
    DbState& s = dbState();
    const size_t slotCount = static_cast<size_t>(s.gnDBTables) + 2;
    s.gDBRecordsets.clear();
    s.gDBRecordsets.resize(slotCount);
    s.gDBTables.assign(slotCount, DBTableInfo{});
    setRecallFolder(dataFolder());

    // A server that cannot be reached has been reported ("JOV MSDE"); start-up ends there
    // rather than going on to a misleading "Database not found." or "Database Error".
    if (!gfbDB_ServerCheck())
        return false;
    Err().Clear();
    const bool exists = gfbDB_DatabaseExists();
    if (Err().Number != 0) {
        MsgBox(QStringLiteral("Database Error\r") + Err().Description, MsgButtons::Ok);
        Err().Clear();
        return false;
    }
    if (!exists) {
        gpTrace(QStringLiteral("Database Create"));
        gfbDB_MissingDatabase();
    }
    return true;
}

} // namespace vx::db
