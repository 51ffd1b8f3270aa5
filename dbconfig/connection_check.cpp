#include "dbconfig/connection_check.h"

#include "datapath/clsdatapath.h"
#include "db/backend_support.h"
#include "db/engine.h"
#include "dbconfig/server_fields.h"

namespace vx {

namespace {

// A long list of databases is cut short; the message stays a few lines.
constexpr qsizetype kNamesShown = 20;

// Engine messages name what failed; a password that found its way into one is masked.
ConnectionCheck failed(const QString& text, const DbConfig& config) {
    return {false, db::withoutPassword(text, config.password.value_or(QString())).simplified()};
}

// " Databases on the server: A, B, JOV." -- what the user may choose from.
QString databaseList(const QStringList& names, bool embedded) {
    if (names.isEmpty())
        return embedded ? QString()
                        : QStringLiteral(" It holds no databases besides its system databases.");
    QStringList shown = names.mid(0, kNamesShown);
    if (names.size() > kNamesShown)
        shown << QStringLiteral("and %1 more").arg(names.size() - kNamesShown);
    return (embedded ? QStringLiteral(" Databases in that folder: ")
                     : QStringLiteral(" Databases on the server: ")) +
           shown.join(QStringLiteral(", ")) + u'.';
}

} // namespace

QString stationDataPath() {
    clsDataPath path;
    path.Read(false, kJovSettings);
    return path.DataPath().trimmed();
}

ConnectionCheck checkConnection(const DbConfig& config, const QString& dataPath) {
    const QString database = config.database.trimmed();
    if (database.isEmpty())
        return failed(QStringLiteral("Enter the name of the database."), config);
    const ServerFields fields = parseServerSetting(config.server);
    const bool embedded =
        config.server.trimmed().startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive);
    if (embedded && fields.folder.isEmpty() && dataPath.trimmed().isEmpty())
        return failed(QStringLiteral("No data path is set for this station. Enter the folder of "
                                     "the database, or set the data path first."),
                      config);

    const std::unique_ptr<db::Engine> engine = db::engineFor(config.server, dataPath);
    if (!engine)
        return failed(QStringLiteral("\"%1\" is not a database server this program can reach.")
                          .arg(shownServer(config.server)),
                      config);
    const db::Login login{config.server, database, config.user.value_or(QString()),
                          config.password.value_or(QString())};
    const std::unique_ptr<db::Server> server = engine->server();
    if (server->connect(login) != 1) {
        // The ODBC backend's messages are whole sentences that name the server already.
        const bool odbc =
            fields.engine == DbEngine::SqlServer || fields.engine == DbEngine::OdbcSource;
        return failed(
            (embedded || odbc ? QString() : QStringLiteral("Cannot connect to the server: ")) +
                server->lastError().description,
            config);
    }

    const std::optional<QStringList> names = server->databases();
    if (!names)
        return failed(QStringLiteral("The server answered, but its databases cannot be listed: ") +
                          server->lastError().description,
                      config);
    // The report compares database names ignoring case and surrounding blanks; so does this.
    QString found;
    for (const QString& n : *names)
        if (n.trimmed().compare(database, Qt::CaseInsensitive) == 0)
            found = n;
    if (found.isEmpty())
        return failed(
            (embedded ? QStringLiteral("There is no database \"%1\" in that folder.").arg(database)
                      : QStringLiteral("The server answered, but it has no database \"%1\".")
                            .arg(database)) +
                databaseList(*names, embedded),
            config);

    const std::optional<QStringList> tables = server->tables(found);
    if (!tables)
        return failed(QStringLiteral("The database \"%1\" cannot be opened: ").arg(database) +
                          server->lastError().description,
                      config);
    QString text =
        QStringLiteral("Connection succeeded: the database \"%1\" is there (%2 %3).")
            .arg(found)
            .arg(tables->size())
            .arg(tables->size() == 1 ? QStringLiteral("table") : QStringLiteral("tables"));
    if (!embedded)
        text += databaseList(*names, false);
    return {true, text};
}

} // namespace vx
