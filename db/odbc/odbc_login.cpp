#include "db/odbc/odbc_login.h"

#include "db/backend_support.h"
#include "db/odbc/sql_browser.h"
#include "db/server_watch.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <array>

namespace vx::db::odbc {

namespace {

bool anyMessage(const QList<Diag>& records, std::initializer_list<const char*> fragments) {
    for (const Diag& d : records)
        for (const char* f : fragments)
            if (d.message.contains(QLatin1String(f), Qt::CaseInsensitive))
                return true;
    return false;
}

bool anyNative(const QList<Diag>& records, std::initializer_list<long> numbers) {
    for (const Diag& d : records)
        for (const long n : numbers)
            if (d.native == n)
                return true;
    return false;
}

bool anyState(const QList<Diag>& records, std::initializer_list<const char*> states) {
    for (const Diag& d : records)
        for (const char* s : states)
            if (d.state == QLatin1String(s))
                return true;
    return false;
}

// The registered ODBC drivers (their names in odbcinst.ini).
QStringList registeredDrivers() {
    QStringList out;
    SQLHENV env = environment();
    std::array<SQLWCHAR, 256> name{};
    std::array<SQLWCHAR, 1024> attributes{};
    SQLSMALLINT nameLength = 0, attributesLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (succeeded(SQLDriversW(env, direction, name.data(), name.size(), &nameLength,
                                 attributes.data(), attributes.size(), &attributesLength))) {
        out << fromWide(name.data(), std::min<qsizetype>(nameLength, name.size() - 1));
        direction = SQL_FETCH_NEXT;
    }
    return out;
}

QString portOf(const OdbcAddress& a) {
    return a.port.isEmpty() ? QStringLiteral("1433") : a.port;
}

// The failure of a SQL Server login that the driver tells only as "unable to connect": the
// network says whether the machine is there and its port open.
LoginFailure probeSqlServer(const OdbcAddress& a, int waitMs) {
    switch (probeTcp(a.machine, static_cast<quint16>(portOf(a).toUInt()), waitMs)) {
    case Reach::UnknownHost:
        return LoginFailure::UnknownHost;
    case Reach::Refused:
        return LoginFailure::Refused;
    case Reach::NoAnswer:
        return LoginFailure::NoAnswer;
    case Reach::Accepts:
        break;
    }
    return LoginFailure::NotSqlServer;
}

} // namespace

QString sqlServerDriver() {
    const QString chosen = qEnvironmentVariable("VANTREX_SQLSERVER_DRIVER").trimmed();
    if (!chosen.isEmpty())
        return chosen;
    for (const QString& name : registeredDrivers())
        if (name.compare(QLatin1String("FreeTDS"), Qt::CaseInsensitive) == 0)
            return name;
    const QStringList places = {QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc"),
                                QStringLiteral("/usr/lib/aarch64-linux-gnu/odbc"),
                                QStringLiteral("/usr/lib/odbc"), QStringLiteral("/usr/local/lib")};
    for (const QString& folder : places) {
        const QString library = folder + QStringLiteral("/libtdsodbc.so");
        if (QFileInfo::exists(library))
            return library;
    }
    return QString();
}

QString shownAddress(const OdbcAddress& address) {
    static const QRegularExpression secret(
        QStringLiteral("((?:^|;|:)\\s*(?:PWD|Password)\\s*=\\s*)(\\{(?:[^}]|\\}\\})*\\}|[^;]*)"),
        QRegularExpression::CaseInsensitiveOption);
    QString shown = address.shown;
    shown.replace(secret, QStringLiteral("\\1****"));
    return shown;
}

LoginFailure classifyLoginFailure(const QList<Diag>& records) {
    if (anyMessage(records, {"Can't open lib", "file not found"}) || anyState(records, {"IM003"}))
        return LoginFailure::MissingDriver;
    if (anyState(records, {"IM002"}))
        return LoginFailure::NoDataSource;
    if (anyState(records, {"28000", "28P01"}) || anyNative(records, {18456}) ||
        anyMessage(records, {"password authentication failed", "Login failed"}))
        return LoginFailure::WrongLogin;
    if (anyNative(records, {4060}) || anyMessage(records, {"Cannot open database"}) ||
        (anyMessage(records, {"database \""}) && anyMessage(records, {"does not exist"})))
        return LoginFailure::NoDatabase;
    if (anyNative(records, {20013}) ||
        anyMessage(records,
                   {"Unknown host", "could not translate host name", "Name or service not known"}))
        return LoginFailure::UnknownHost;
    if (anyMessage(records, {"Connection refused", "No such file or directory"}))
        return LoginFailure::Refused;
    if (anyNative(records, {20003}) || anyState(records, {"HYT00", "HYT01"}) ||
        anyMessage(records, {"timed out", "timeout expired"}))
        return LoginFailure::NoAnswer;
    return LoginFailure::Other;
}

QString loginFailureText(LoginFailure failure, const OdbcAddress& a, const Login& login,
                         const QString& database, const QString& detail, int timeoutSeconds) {
    const bool sqlServer = a.kind == OdbcAddress::Kind::SqlServer;
    const QString server = shownAddress(a);
    const QString cannot = sqlServer
                               ? QStringLiteral("Cannot reach the SQL Server %1: ").arg(server)
                               : QStringLiteral("Cannot reach the data source %1: ").arg(server);
    const QString machine = addressMachine(a);
    switch (failure) {
    case LoginFailure::MissingDriver:
        return cannot +
               (sqlServer ? QStringLiteral("its ODBC driver (FreeTDS, Debian package tdsodbc) is "
                                           "not installed on this computer.")
                          : QStringLiteral("the ODBC driver it names is not installed on this "
                                           "computer (\"odbcinst -q -d\" lists those that are)."));
    case LoginFailure::NoDataSource:
        return cannot + QStringLiteral("there is no ODBC data source of that name (\"odbcinst -q "
                                       "-s\" lists them).");
    case LoginFailure::WrongLogin:
        return QStringLiteral("The database server %1 refused the login of user \"%2\": the user "
                              "name or the password is wrong.")
            .arg(server, login.user);
    case LoginFailure::NoDatabase:
        return QStringLiteral("The database server %1 has no database \"%2\" that user \"%3\" "
                              "may open.")
            .arg(server, database, login.user);
    case LoginFailure::UnknownHost:
        return cannot + QStringLiteral("the computer \"%1\" is not known on the network (its "
                                       "name cannot be resolved).")
                            .arg(machine);
    case LoginFailure::Refused:
        return cannot + (sqlServer ? QStringLiteral("%1 refused the connection to port %2 (SQL "
                                                    "Server is not running there, or does not "
                                                    "accept TCP/IP connections on that port).")
                                         .arg(machine, portOf(a))
                                   : QStringLiteral("the connection was refused (is the server "
                                                    "running?)."));
    case LoginFailure::NoAnswer:
        return cannot + QStringLiteral("no answer within %1 seconds (the computer is off, or a "
                                       "firewall blocks the way).")
                            .arg(timeoutSeconds);
    case LoginFailure::NoBrowser:
        return cannot + QStringLiteral("the SQL Browser of %1 (UDP port 1434) did not answer "
                                       "for the instance %2. Check the instance name and that "
                                       "the SQL Server Browser service runs, or give the "
                                       "instance's port as %1,port.")
                            .arg(machine, a.instance);
    case LoginFailure::NoTcp:
        return cannot + QStringLiteral("the instance %1 on %2 does not accept TCP/IP "
                                       "connections (enable TCP/IP for it on the server).")
                            .arg(a.instance, machine);
    case LoginFailure::NotSqlServer:
        return cannot + QStringLiteral("something at %1 port %2 accepts connections but did not "
                                       "answer as SQL Server (is that the server's port? the "
                                       "driver says: %3)")
                            .arg(machine, portOf(a), detail);
    case LoginFailure::ClosedAtLogin:
        return cannot +
               QStringLiteral("the server at %1 port %2 ended the connection during the "
                              "login, in every protocol version tried (TDS %3 and %4).")
                   .arg(machine, portOf(a), QLatin1String(kNewestTds), QLatin1String(kOldestTds));
    case LoginFailure::ProtocolVersion:
        return cannot + QStringLiteral("the server does not speak the protocol version TDS %1 set "
                                       "as TDSVersion in %2. Remove that setting (the version is "
                                       "then found by itself), or set the server's own: 7.1 for "
                                       "SQL Server 2000, 7.2 for 2005, 7.3 for 2008 and 2008 R2, "
                                       "7.4 for 2012 and later.")
                            .arg(tdsOptionsFromSettings().version, tdsSettingsPlace());
    case LoginFailure::EncryptionRequired:
        return cannot + QStringLiteral("the server requires encrypted connections, and "
                                       "Encryption=off in %1 switches encryption off. Remove that "
                                       "setting or set Encryption=request.")
                            .arg(tdsSettingsPlace());
    case LoginFailure::CertificateNotTrusted:
        return cannot + QStringLiteral("the server's certificate is not trusted: it is not signed "
                                       "by the authorities of CAFile=%1 in %2, or does not name "
                                       "the computer \"%3\". Give the file of the authority that "
                                       "signed it, or remove the setting to accept the server's "
                                       "certificate unchecked.")
                            .arg(tdsOptionsFromSettings().caFile, tdsSettingsPlace(), machine);
    case LoginFailure::Other:
        break;
    }
    return cannot + detail;
}

DbcHandle logIn(const OdbcAddress& address, const Login& login, const QString& database,
                DbError& error, const LoginOptions& options) {
    QElapsedTimer clock;
    clock.start();
    const int budgetMs = options.timeoutSeconds * 1000;
    OdbcAddress target = address; // with the SQL Browser's port once known
    auto failed = [&](LoginFailure f, const QString& detail = QString()) {
        if (options.why)
            *options.why = f;
        error = engineError(withoutPassword(
            loginFailureText(f, target, login, database, detail, options.timeoutSeconds),
            login.password));
        return DbcHandle();
    };

    QString driver, port;
    if (address.kind == OdbcAddress::Kind::SqlServer) {
        driver = sqlServerDriver();
        if (driver.isEmpty())
            return failed(LoginFailure::MissingDriver);
        if (!address.instance.isEmpty() && address.port.isEmpty()) {
            // The driver's own look-up waits 16 s whatever the timeout; this one keeps to it.
            const BrowserAnswer answer =
                askSqlBrowser(address.machine, address.instance, budgetMs / 4);
            switch (answer.outcome) {
            case BrowserAnswer::Outcome::UnknownHost:
                return failed(LoginFailure::UnknownHost);
            case BrowserAnswer::Outcome::NoAnswer:
                return failed(LoginFailure::NoBrowser);
            case BrowserAnswer::Outcome::NoTcp:
                return failed(LoginFailure::NoTcp);
            case BrowserAnswer::Outcome::Port:
                port = answer.port;
                target.port = port;
                break;
            }
        }
    }

    const TdsOptions pinned = tdsOptionsFromSettings();
    TdsOptions tds = pinned;
    // A server found to speak only the oldest version is asked in it at once the next time
    // (the report logs in several times: the server check, the connection, its read sessions).
    static QHash<QString, QString> oldServers;
    const QString serverKey = target.machine + u',' + portOf(target);
    if (tds.version.isEmpty())
        tds.version = oldServers.value(serverKey);
    const bool sqlServerKind = address.kind == OdbcAddress::Kind::SqlServer;
    if (sqlServerKind && !pinned.caFile.isEmpty() &&
        !useCertificateAuthorities(target.machine, port.isEmpty() ? address.port : port,
                                   address.instance, pinned.caFile))
        return failed(LoginFailure::CertificateNotTrusted);
    for (;;) {
        DbcHandle dbc(allocate(SQL_HANDLE_DBC, environment()));
        if (!dbc)
            return failed(LoginFailure::Other, QStringLiteral("the ODBC driver manager cannot "
                                                              "make a connection."));
        const int left = std::max<int>(1, (budgetMs - static_cast<int>(clock.elapsed())) / 1000);
        SQLSetConnectAttrW(dbc.get(), SQL_ATTR_LOGIN_TIMEOUT,
                           reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(left)), 0);
        QString text = odbcConnectionString(address, login, database, driver, port, tds);
        if (!options.extra.isEmpty())
            text += u';' + options.extra;
        SQLSMALLINT outLength = 0;
        const SocketList before = openSockets();
        SQLRETURN r = SQL_ERROR;
        {
            const ServerWait wait;
            r = SQLDriverConnectW(dbc.get(), nullptr, const_cast<SQLWCHAR*>(wide(text)), SQL_NTS,
                                  nullptr, 0, &outLength, SQL_DRIVER_NOPROMPT);
        }
        if (succeeded(r)) {
            // The driver keeps its socket to itself: the ones its login opened are its.
            watchSocketsOpenedSince(before);
            if (sqlServerKind && pinned.version.isEmpty() && !tds.version.isEmpty())
                oldServers.insert(serverKey, tds.version);
            dbc.markConnected();
            error = DbError();
            return dbc;
        }
        const QList<Diag> records = diagnostics(SQL_HANDLE_DBC, dbc.get());
        LoginFailure kind = classifyLoginFailure(records);
        const int leftMs = budgetMs - static_cast<int>(clock.elapsed());
        const bool sqlServer = sqlServerKind;
        // An older server ends the connection on a login in a newer version than it speaks:
        // once more in the oldest, within what is left of the login timeout.
        const bool closed = sqlServer && kind == LoginFailure::Other &&
                            anyNative(records, {20017}) &&
                            probeTcp(target.machine, static_cast<quint16>(portOf(target).toUInt()),
                                     std::clamp(leftMs, 1, 1000)) == Reach::Accepts;
        if (closed && pinned.version.isEmpty() && tds.version != QLatin1String(kOldestTds) &&
            leftMs > 1000) {
            tds.version = QLatin1String(kOldestTds);
            continue;
        }
        if (closed)
            kind = pinned.version.isEmpty() ? LoginFailure::ClosedAtLogin
                                            : LoginFailure::ProtocolVersion;
        if (kind == LoginFailure::Other && sqlServer && anyNative(records, {20009, 20002, 20017}))
            kind = leftMs <= 0 ? LoginFailure::NoAnswer
                               : probeSqlServer(target, std::min(leftMs, 3000));
        // The driver tells a failed handshake only as a failed connection: what the pins
        // change is the likely cause.
        if (kind == LoginFailure::NotSqlServer && !pinned.caFile.isEmpty())
            kind = LoginFailure::CertificateNotTrusted;
        else if (kind == LoginFailure::NotSqlServer && pinned.encryption == QLatin1String("off"))
            kind = LoginFailure::EncryptionRequired;
        return failed(kind, statementError(records).description);
    }
}

} // namespace vx::db::odbc
