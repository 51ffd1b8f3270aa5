#include "app/testing/e2e_pages.h"

#include <QHash>

namespace vx::e2e {

namespace {

// Each page as the text dump lays it out: one line per line of text, cells at their columns,
// "\f" between pages.
const QHash<QString, QString>& pages() {
    static const QHash<QString, QString> all{
        {QStringLiteral("received"),
         QStringLiteral(R"(                                             Corner Shop
                                      Purchase Orders Received

                                      01/01/2024 to 01/31/2024

Vendor No.                 Vendor Name                P.O.#            Date Rec'd           Cost  Retail Price
V1                         Acme Supply                VP-200         01/06/2024           3.00         15.00
V1                         Acme Supply                150            01/09/2024       1,234.50          5.00

                                                                       Total:         1,237.50         20.00

V2                         Beta & Sons, Ltd.          100            01/05/2024           5.50          4.00
V2                         Beta & Sons, Ltd.          100            01/07/2024            .50          2.00

                                                                       Total:             6.00          6.00

V9                                                    300            01/08/2024            .00          5.00

                                                                       Total:              .00          5.00

                                                                    Final Total:      1,243.50         31.00

                                                   Page 1 <now>
)")},
        {QStringLiteral("two-pages"),
         QStringLiteral(R"(                                             Corner Shop
                                      Purchase Orders Received

                                      03/01/2024 to 03/31/2024

Vendor No.                 Vendor Name                P.O.#            Date Rec'd           Cost  Retail Price
V4                         Delta Wholesale            M100           03/10/2024           1.00          2.00
V4                         Delta Wholesale            M101           03/10/2024           1.25          2.00
V4                         Delta Wholesale            M102           03/10/2024           1.50          2.00
V4                         Delta Wholesale            M103           03/11/2024           1.75          2.00
V4                         Delta Wholesale            M104           03/11/2024           2.00          2.00
V4                         Delta Wholesale            M105           03/11/2024           2.25          2.00
V4                         Delta Wholesale            M106           03/12/2024           2.50          2.00
V4                         Delta Wholesale            M107           03/12/2024           2.75          2.00
V4                         Delta Wholesale            M108           03/12/2024           3.00          2.00
V4                         Delta Wholesale            M109           03/13/2024           3.25          2.00
V4                         Delta Wholesale            M110           03/13/2024           3.50          2.00
V4                         Delta Wholesale            M111           03/13/2024           3.75          2.00
V4                         Delta Wholesale            M112           03/14/2024           4.00          2.00
V4                         Delta Wholesale            M113           03/14/2024           4.25          2.00
V4                         Delta Wholesale            M114           03/14/2024           4.50          2.00
V4                         Delta Wholesale            M115           03/15/2024           4.75          2.00
V4                         Delta Wholesale            M116           03/15/2024           5.00          2.00
V4                         Delta Wholesale            M117           03/15/2024           5.25          2.00
V4                         Delta Wholesale            M118           03/16/2024           5.50          2.00
V4                         Delta Wholesale            M119           03/16/2024           5.75          2.00
V4                         Delta Wholesale            M120           03/16/2024           6.00          2.00
V4                         Delta Wholesale            M121           03/17/2024           6.25          2.00
V4                         Delta Wholesale            M122           03/17/2024           6.50          2.00
V4                         Delta Wholesale            M123           03/17/2024           6.75          2.00
V4                         Delta Wholesale            M124           03/18/2024           7.00          2.00
V4                         Delta Wholesale            M125           03/18/2024           7.25          2.00
V4                         Delta Wholesale            M126           03/18/2024           7.50          2.00
V4                         Delta Wholesale            M127           03/19/2024           7.75          2.00
V4                         Delta Wholesale            M128           03/19/2024           8.00          2.00
V4                         Delta Wholesale            M129           03/19/2024           8.25          2.00
V4                         Delta Wholesale            M130           03/20/2024           8.50          2.00
V4                         Delta Wholesale            M131           03/20/2024           8.75          2.00
V4                         Delta Wholesale            M132           03/20/2024           9.00          2.00
V4                         Delta Wholesale            M133           03/21/2024           9.25          2.00
V4                         Delta Wholesale            M134           03/21/2024           9.50          2.00
V4                         Delta Wholesale            M135           03/21/2024           9.75          2.00
V4                         Delta Wholesale            M136           03/22/2024          10.00          2.00
V4                         Delta Wholesale            M137           03/22/2024          10.25          2.00
V4                         Delta Wholesale            M138           03/22/2024          10.50          2.00
V4                         Delta Wholesale            M139           03/23/2024          10.75          2.00
V4                         Delta Wholesale            M140           03/23/2024          11.00          2.00
V4                         Delta Wholesale            M141           03/23/2024          11.25          2.00
V4                         Delta Wholesale            M142           03/24/2024          11.50          2.00
V4                         Delta Wholesale            M143           03/24/2024          11.75          2.00
V4                         Delta Wholesale            M144           03/24/2024          12.00          2.00
V4                         Delta Wholesale            M145           03/25/2024          12.25          2.00
V4                         Delta Wholesale            M146           03/25/2024          12.50          2.00
V4                         Delta Wholesale            M147           03/25/2024          12.75          2.00
V4                         Delta Wholesale            M148           03/26/2024          13.00          2.00
V4                         Delta Wholesale            M149           03/26/2024          13.25          2.00
V4                         Delta Wholesale            M150           03/26/2024          13.50          2.00
V4                         Delta Wholesale            M151           03/27/2024          13.75          2.00
V4                         Delta Wholesale            M152           03/27/2024          14.00          2.00
V4                         Delta Wholesale            M153           03/27/2024          14.25          2.00
V4                         Delta Wholesale            M154           03/28/2024          14.50          2.00

                                                   Page 1 <now>
)") + u'\f' + QStringLiteral(R"(                                             Corner Shop
                                      Purchase Orders Received

                                      03/01/2024 to 03/31/2024

Vendor No.                 Vendor Name                P.O.#            Date Rec'd           Cost  Retail Price
V4                         Delta Wholesale            M155           03/28/2024          14.75          2.00
V4                         Delta Wholesale            M156           03/28/2024          15.00          2.00
V4                         Delta Wholesale            M157           03/29/2024          15.25          2.00
V4                         Delta Wholesale            M158           03/29/2024          15.50          2.00
V4                         Delta Wholesale            M159           03/29/2024          15.75          2.00

                                                                       Total:           502.50        120.00

                                                                    Final Total:        502.50        120.00

                                                   Page 2 <now>
)")},
        {QStringLiteral("export"),
         QStringLiteral(R"(                                             Corner Shop
                                      Purchase Orders Received

                                      01/01/2024 to 01/31/2024

Vendor No.                 Vendor Name                P.O.#            Date Rec'd           Cost  Retail Price
V1                         Acme Supply                VP-200         01/06/2024           3.00
V1                         Acme Supply                150            01/09/2024       1,234.50

V2                         Beta & Sons, Ltd.          100            01/05/2024           5.50
V2                         Beta & Sons, Ltd.          100            01/07/2024            .50

V9                                                    300            01/08/2024            .00

                                                   Page 1 <now>
)")},
        {QStringLiteral("vat-detail"),
         QStringLiteral(R"(                                             Corner Shop
                                              Input VAT
                                      01/01/2024 to 01/31/2024

Vendor No.             Vendor Name                   P.O.#            Date Rec'd           Input VAT
V1                     Acme Supply                   VP-400           01/10/2024                12.50
                                                     TOTAL                                      12.50

V2                     Beta & Sons, Ltd.             VP-402           01/15/2024                 7.00
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
        {QStringLiteral("vat-summary"),
         QStringLiteral(R"(                                             Corner Shop
                                              Input VAT
                                      01/01/2024 to 01/31/2024

Vendor No.             Vendor Name                   P.O.#            Date Rec'd           Input VAT
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
    return pages().value(caseName);
}

} // namespace vx::e2e
