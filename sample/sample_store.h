#pragma once
// Creates a store from the purchasing sample: the settings of the suite point at the data path
// and the store's database (embedded, or on a server), the data path gets its JOV.INI and
// WINREGS.INI, and the report's tables are created and filled through the record manager, as the
// suite's programs fill them.

#include <QDate>
#include <QString>

namespace vx::sample {

struct SampleStoreOptions {
    QString dataPath;     // created when missing
    QString sampleFolder; // the folder of the sample's files
    QDate today;          // receipts end shortly before this day; invalid: the current date
    bool replace = false; // an existing database of the data path is replaced
    // Where the store's database is made: a "Server" setting (default: the embedded database
    // of the data path), the database's name and the login of a server.
    QString server = QStringLiteral("sqlite:");
    QString database = QStringLiteral("JOV");
    QString user;
    QString password;
};

struct SampleStoreResult {
    bool ok = false;
    QString error; // what went wrong when not ok
    int vendors = 0;
    int items = 0;
    int orders = 0;
    int lines = 0;
    int receipts = 0;
    QDate firstReceipt;
    QDate lastReceipt;
    QString location; // the database made: its file, or its name on the server
};

// The database file of the data path: "JOV.sqlite".
QString sampleDatabaseFile(const QString& dataPath);

// Where the program at `executablePath` finds the sample's files: an installed program (one under
// /usr) the package's copy in /usr/share/vantrex-report/sample, any other the folder of the
// sources it was built from.
QString defaultSampleFolder(const QString& executablePath);

SampleStoreResult createSampleStore(const SampleStoreOptions& options);

} // namespace vx::sample
