// The pages the end-to-end runs must produce, as the document's text dump shows them; the footer's
// date and time written as "<now>", today's date as "<today>".
#include <QHash>
#include <QString>

namespace vx::e2e {
namespace {

// Sixty orders of one vendor in March, 1.00 to 15.75, three a day from the 10th; 55 on page 1.
QString marchPages() {
    const QString heading =
        QStringLiteral(R"(                                             Corner Shop
                                      Purchase Orders Received

                                      03/01/2024 to 03/31/2024

Vendor No.                 Vendor Name                P.O.#            Date Rec'd           Cost  Retail Price
)");
    QString pages = heading;
    for (int i = 0; i < 60; ++i) {
        if (i == 55)
            pages += QStringLiteral(
                         "\n                                                   Page 1 <now>\n\f") +
                     heading;
        pages +=
            QStringLiteral("V4                         Delta Wholesale            M%1           "
                           "03/%2/2024%3          2.00\n")
                .arg(100 + i)
                .arg(10 + i / 3)
                .arg(QString::number(1 + 0.25 * i, 'f', 2), 15);
    }
    return pages + QStringLiteral(R"(
                                                                       Total:           502.50        120.00

                                                                    Final Total:        502.50        120.00

                                                   Page 2 <now>
)");
}

const QHash<QString, QString>& pages() {
    static const QHash<QString, QString> all{
        {QStringLiteral("received"),
         QStringLiteral(R"(                                             Corner Shop
                                      Purchase Orders Received

                                      01/01/2024 to 01/31/2024

Vendor No.                 Vendor Name                P.O.#            Date Rec'd           Cost  Retail Price
V1                         Acme Supply                VP-200         01/06/2024           3.00         15.00
V1                         Acme Supply                150            01/31/2024       1,234.50          5.00

                                                                       Total:         1,237.50         20.00

V2                         Beta & Sons, Ltd.          100            01/01/2024           5.50          4.00
V2                         Beta & Sons, Ltd.          100            01/07/2024            .50          2.00

                                                                       Total:             6.00          6.00

V9                                                    300            01/08/2024            .00          5.00

                                                                       Total:              .00          5.00

                                                                    Final Total:      1,243.50         31.00

                                                   Page 1 <now>
)")},
        {QStringLiteral("two-pages"), marchPages()},
        {QStringLiteral("vat-detail"),
         QStringLiteral(R"(                                             Corner Shop
                                              Input VAT
                                      01/01/2024 to 01/31/2024

Vendor No.             Vendor Name                   P.O.#            Date Rec'd           Input VAT
V1                     Acme Supply                   VP-400           01/01/2024                12.50
                                                     TOTAL                                      12.50

V2                     Beta & Sons, Ltd.             VP-402           01/31/2024                 7.00
                                                     TOTAL                                       7.00

V3                                                   VP-401           01/12/2024             1,234.56
                                                     TOTAL                                   1,234.56

                       SUMMARY
                       Acme Supply                                                              12.50
                       Beta & Sons, Ltd.                                                         7.00
                                                                                             1,234.56

                       TOTAL INPUT VAT                                                       1,254.06

                                                   Page 1 <now>
)")},
        {QStringLiteral("deleted"),
         QStringLiteral(R"(                                             Corner Shop
                                       Deleted Purchase Orders
                                       01/01/2024 to <today>

Quantity  S/L       Item ID        Description                                Cost         Total
________________________________________________________________________________________________________________________________________________________________
01/25/2024  PO#: VP-700         Vendor: V7  Bergeron Off-Field Supplies and Sons Date Ordered: 01/05/2024
     2    1000003.3 LONG           Long item                          491265804.58  982531609.16

                                   Cancelled by JANE     01/25/2024
________________________________________________________________________________________________________________________________________________________________
01/11/2024  PO#: VP-501         Vendor: V1  Acme Supply                 Date Ordered: 01/02/2024
    1.5   1002   .  GADGET         Gadget                                    3.00          4.50

                                   Cancelled by BOB      01/11/2024
________________________________________________________________________________________________________________________________________________________________
01/20/2024  PO#: VP-500         Vendor: V2  Beta & Sons, Ltd.           Date Ordered: 01/05/2024
    12    1001   .  WIDGET         Blue widget                               1.25         15.00

                                   Cancelled by JANE     01/20/2024
________________________________________________________________________________________________________________________________________________________________

Deleted Purchase Orders                            Page 1 <now>
)")},
    };
    return all;
}

} // namespace

QString expectedPages(const QString& caseName) {
    if (caseName == QLatin1String("export")) {
        // The received page without its retail prices and totals (each with the blank after it).
        const QStringList received = pages().value(QStringLiteral("received")).split(u'\n');
        QStringList lines;
        for (qsizetype i = 0; i < received.size(); ++i) {
            if (received[i].contains(QStringLiteral("Total:")))
                ++i;
            else if (i > 5 && received[i].startsWith(u'V'))
                lines << received[i].left(received[i].lastIndexOf(u' ')).trimmed();
            else
                lines << received[i];
        }
        return lines.join(u'\n');
    }
    if (caseName != QLatin1String("vat-summary"))
        return pages().value(caseName);
    // The VAT report's summary-only form: its heading, then the summary alone.
    const QString detail = pages().value(QStringLiteral("vat-detail"));
    const qsizetype rows = detail.indexOf(QStringLiteral("\nV1 ")) + 1;
    const qsizetype summary = detail.indexOf(u'\n' + QString(23, u' ') + "SUMMARY") + 1;
    return detail.left(rows) + detail.mid(summary);
}

} // namespace vx::e2e
