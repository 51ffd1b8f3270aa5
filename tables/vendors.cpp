#include "tables/vendors.h"

#include "platform/err.h"
#include "platform/paths.h"

namespace vx::tables {

VendorRec& vendor() {
    static VendorRec rec;
    return rec;
}

namespace jovDBSM_Vendors {

const TableDef<VendorRec>& definition() {
    using R = VendorRec;
    static const TableDef<R> def{
        {
            {"VendorID", "VendorID INTEGER NOT NULL, ", &R::VendorID},
            {"VENDCODE", "VENDCODE CHAR (15) NOT NULL, ", &R::VENDCODE},
            {"BUSINESS", "BUSINESS CHAR (40)  DEFAULT  ' ', ", &R::BUSINESS, kNameField},
            {"LASTNAME", "LASTNAME CHAR (15) DEFAULT  ' ', ", &R::LASTNAME, kNameField},
            {"ZIP", "ZIP CHAR (10) DEFAULT  ' ', ", &R::ZIP},
            {"MAILCODE", "MAILCODE CHAR (2) DEFAULT  ' ', ", &R::MAILCODE},
            {"FIRSTNAME", "FIRSTNAME CHAR (15) DEFAULT  ' ', ", &R::FIRSTNAME, kNameField},
            {"ADDRESS", "ADDRESS CHAR (40) DEFAULT  ' ', ", &R::ADDRESS, kNameField},
            {"CITY", "CITY CHAR (20) DEFAULT  ' ', ", &R::CITY},
            {"STATE", "STATE CHAR (3) DEFAULT  ' ', ", &R::STATE},
            {"PHONE", "PHONE CHAR (14) DEFAULT  ' ', ", &R::PHONE},
            {"FAX", "FAX CHAR (14) DEFAULT  ' ', ", &R::FAX},
            {"DATE", "DATE CHAR (8) DEFAULT  ' ', ", &R::DATE},
            {"BALANCE", "BALANCE DECIMAL (10,2), ", &R::BALANCE},
            {"NOTES", "NOTES CHAR (1) DEFAULT  ' ', ", &R::NOTES},
            {"COUNTRY", "COUNTRY CHAR (12) DEFAULT  ' ', ", &R::COUNTRY},
            {"LASTPAIDAMT", "LASTPAIDAMT DECIMAL(10,2), ", &R::LASTPAIDAMT},
            {"REFERENCE", "REFERENCE CHAR (30) DEFAULT  ' ', ", &R::REFERENCE},
            {"PAYMENTTERM", "PAYMENTTERM SMALLINT, ", &R::PAYMENTTERM},
            {"CODEFLAG", "CODEFLAG CHAR (1) DEFAULT  ' ', ", &R::CODEFLAG},
            {"SPLITBALANC", "SPLITBALANC Decimal (8,2), ", &R::SPLITBALANC},
            {"RECURAMT", "RECURAMT DECIMAL (10,2), ", &R::RECURAMT},
            {"POLL", "POLL CHAR (1) DEFAULT  ' ', ", &R::POLL},
            {"PHONEEXT", "PHONEEXT CHAR (9) DEFAULT  ' ', ", &R::PHONEEXT},
            {"DISCOUNTTERM", "DISCOUNTTERM CHAR (6) DEFAULT  ' ', ", &R::DISCOUNTTERM},
            {"ADDRESS2", "ADDRESS2 CHAR (25) DEFAULT  ' ', ", &R::ADDRESS2, kNameField},
            {"EMAIL", "EMAIL CHAR (50) DEFAULT  ' ', ", &R::EMAIL},
            // The last fragment keeps its separator, as the suite has always written it.
            {"CELLPHONE", "CELLPHONE CHAR (14) DEFAULT  ' ', ", &R::CELLPHONE},
        },
        {
            {"Create UNIQUE  Index idx_0 On ", "(VendorID);"},
            {"Create UNIQUE  CLUSTERED Index idx_1 On ", "(VENDCODE);"},
            {"Create UNIQUE Index idx_2 On ", "(Business, VENDCODE);"},
            {"Create unique Index idx_3 On ", "(Lastname, VENDCODE);"},
            {"Create Index idx_4 On ", "(Zip);"},
            {"Create  Index idx_5 On ", "(MailCode);"},
        },
        {{0}, {1}, {2, 1}, {3, 1}, {4}, {5}},
    };
    return def;
}

void FillRecord(std::int16_t table) {
    fillRecord(table, definition(), vendor());
}
void StoreRecord(std::int16_t table) {
    storeRecord(table, definition(), vendor());
}
void CleanRecordText() {
    cleanRecordText(definition(), vendor());
}
QString RecordValues() {
    return recordValues(definition(), vendor());
}
void LoadKey(std::int16_t table, std::int16_t key) {
    loadKey(table, definition(), vendor(), key);
}
void DefineTable(std::int16_t table) {
    defineTable(table, definition());
}

void PrepareTable(std::int16_t table, const QString& dataPath) {
    setDescriptor(table,
                  {QStringLiteral("VENDORS"), joinPath(dataPath, QStringLiteral("VENDOR.JOV")),
                   QStringLiteral("VENDOR"), QStringLiteral("Vendor")});
    if (!prepareTable(table, definition()))
        return;
    // Tables of older releases still call the country column EXPENSECD. On a current table the
    // rename fails (there is no such column); that is expected and not an error of the open.
    db::gpDB_RenameColumn(db::tableInfo(table).TableName, QStringLiteral("EXPENSECD"),
                          QStringLiteral("COUNTRY"));
    Err().Clear();
}

void ClearRecord() {
    VendorRec& rec = vendor();
    for (const FieldDef<VendorRec>& f : definition().fields)
        std::visit(
            [&](auto p) {
                using M = std::remove_cvref_t<decltype(rec.*p)>;
                if constexpr (std::is_same_v<M, FixedText>)
                    rec.*p = QString();
                else
                    rec.*p = 0;
            },
            f.field);
}

} // namespace jovDBSM_Vendors
} // namespace vx::tables
