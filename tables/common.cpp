#include "tables/common.h"

#include "platform/paths.h"

namespace vx::tables {

CommonRec& common() {
    static CommonRec rec;
    return rec;
}

namespace jovDBSM_Common {

// Fields in column order. Every value of the INSERT list is quoted, numbers too, and the list
// ends in " '" (a blank inside the last literal), as the company record has always been written.
// FullBackTime holds a number's first digit and is never cleaned as text.
const TableDef<CommonRec>& definition() {
    using R = CommonRec;
    static const TableDef<R> def{
        {
            {"ProgramVersion", "ProgramVersion CHAR (10), ", &R::ProgramVersion},
            {"DupID", "DupID CHAR (1), ", &R::DupID},
            {"Cname", "Cname CHAR (40), ", &R::Cname},
            {"WebAddress", "WebAddress CHAR (40), ", &R::WebAddress},
            {"Ccity", "Ccity CHAR (25), ", &R::Ccity},
            {"Cstate", "Cstate CHAR (3), ", &R::Cstate},
            {"Czip", "Czip CHAR (10), ", &R::Czip},
            {"CPhone", "CPhone CHAR (14), ", &R::CPhone},
            {"Cfax", "Cfax CHAR (14), ", &R::Cfax},
            {"MandatoryName", "MandatoryName CHAR (1), ", &R::MandatoryName},
            {"RequestedTicket", "RequestedTicket INTEGER, ", &R::RequestedTicket},
            {"MaxStations", "MaxStations SMALLINT, ", &R::MaxStations},
            {"USEurope", "USEurope CHAR (1), ", &R::USEurope},
            {"Cups", "Cups CHAR (11), ", &R::Cups},
            {"ShippingSL1", "ShippingSL1 CHAR (9), ", &R::ShippingSL1},
            {"ShippingSL2", "ShippingSL2 CHAR (9), ", &R::ShippingSL2},
            {"ShippingSL3", "ShippingSL3 CHAR (9), ", &R::ShippingSL3},
            {"ExchangeRate", "ExchangeRate REAL, ", &R::ExchangeRate},
            {"Back_Up", "Back_Up CHAR (1), ", &R::Back_Up},
            {"PackMode", "PackMode CHAR (3), ", &R::PackMode},
            {"Security", "Security CHAR (1), ", &R::Security},
            {"PONumber", "PONumber INTEGER, ", &R::PONumber},
            {"StoreNumber", "StoreNumber SMALLINT, ", &R::StoreNumber},
            {"Accounting", "Accounting CHAR (2), ", &R::Accounting},
            {"AutoPhoneFormat", "AutoPhoneFormat CHAR (1), ", &R::AutoPhoneFormat},
            {"AutoProperNames", "AutoProperNames CHAR (1), ", &R::AutoProperNames},
            {"OrderOfLookup", "OrderOfLookup CHAR (1), ", &R::OrderOfLookup},
            {"DefaultARCode", "DefaultARCode CHAR (1), ", &R::DefaultARCode},
            {"D2", "D2 CHAR (9), ", &R::D2},
            {"MultiStore", "MultiStore CHAR (1), ", &R::MultiStore},
            {"D5", "D5 CHAR (2), ", &R::D5},
            {"TaxRate1", "TaxRate1 REAL, ", &R::TaxRate1},
            {"TaxRate2", "TaxRate2 REAL, ", &R::TaxRate2},
            {"TaxRate3", "TaxRate3 REAL, ", &R::TaxRate3},
            {"TaxRate4", "TaxRate4 REAL, ", &R::TaxRate4},
            {"TaxRate5", "TaxRate5 REAL, ", &R::TaxRate5},
            {"BreakPoint", "BreakPoint DECIMAL, ", &R::BreakPoint},
            {"TaxRateAbove", "TaxRateAbove REAL, ", &R::TaxRateAbove},
            {"TaxRate2nd", "TaxRate2nd REAL, ", &R::TaxRate2nd},
            {"TaxCity", "TaxCity CHAR (1), ", &R::TaxCity},
            {"TaxRound", "TaxRound CHAR (1), ", &R::TaxRound},
            {"TaxLineTot", "TaxLineTot CHAR (1), ", &R::TaxLineTot},
            {"NoTaxOnFirst", "NoTaxOnFirst decimal, ", &R::NoTaxOnFirst},
            {"TaxAdjust", "TaxAdjust DECIMAL, ", &R::TaxAdjust},
            {"PrTagTax", "PrTagTax CHAR (1), ", &R::PrTagTax},
            {"CreditService", "CreditService CHAR (1), ", &R::CreditService},
            {"CreditUserID", "CreditUserID CHAR (20), ", &R::CreditUserID},
            {"CreditPwd", "CreditPwd CHAR (20), ", &R::CreditPwd},
            {"AccessAcount", "AccessAcount CHAR (1), ", &R::AccessAcount},
            {"AccessInventory", "AccessInventory CHAR (1), ", &R::AccessInventory},
            {"AccessConfig", "AccessConfig CHAR (1), ", &R::AccessConfig},
            {"AccessOrder", "AccessOrder CHAR (1), ", &R::AccessOrder},
            {"AccessVoid", "AccessVoid CHAR (1), ", &R::AccessVoid},
            {"AccessReports", "AccessReports CHAR (1), ", &R::AccessReports},
            {"AccessMargin", "AccessMargin CHAR (1), ", &R::AccessMargin},
            {"AccessCost", "AccessCost CHAR (1), ", &R::AccessCost},
            {"AccessQty", "AccessQty CHAR (1), ", &R::AccessQty},
            {"CRLimmitActive", "CRLimmitActive CHAR (1), ", &R::CRLimmitActive},
            {"SlipPrint", "SlipPrint CHAR (6), ", &R::SlipPrint},
            {"UpperCaseItemID", "UpperCaseItemID CHAR (1), ", &R::UpperCaseItemID},
            {"UpperCaseSL", "UpperCaseSL CHAR (1), ", &R::UpperCaseSL},
            {"POExportType", "POExportType CHAR (1), ", &R::POExportType},
            {"NamePreFill", "NamePreFill CHAR (1), ", &R::NamePreFill},
            {"CheckStatCode", "CheckStatCode CHAR (2), ", &R::CheckStatCode},
            {"CheckCompany", "CheckCompany CHAR (3), ", &R::CheckCompany},
            {"FullBack", "FullBack CHAR (1), ", &R::FullBack},
            {"StaFullBack", "StaFullBack SMALLINT, ", &R::StaFullBack},
            {"FullBackTime", "FullBackTime SMALLINT, ", &R::FullBackTime, kNoClean},
            {"TaxSearch2nd", "TaxSearch2nd CHAR (1), ", &R::TaxSearch2nd},
            {"TaxLabel2nd", "TaxLabel2nd CHAR (3), ", &R::TaxLabel2nd},
            {"MerchantID", "MerchantID CHAR (14), ", &R::MerchantID},
            {"PartnerID", "PartnerID CHAR (14), ", &R::PartnerID},
            {"ReprintMessage", "ReprintMessage CHAR (15), ", &R::ReprintMessage},
            {"NickelAdjust", "NickelAdjust CHAR (1), ", &R::NickelAdjust},
            {"TaxRate6", "TaxRate6 REAL, ", &R::TaxRate6},
            {"StartupFee", "StartupFee DECIMAL, ", &R::StartupFee},
            {"CancelFee", "CancelFee DECIMAL, ", &R::CancelFee},
            {"MinPercent", "MinPercent DECIMAL, ", &R::MinPercent},
            {"MinDollar", "MinDollar DECIMAL, ", &R::MinDollar},
            {"PullLayaway", "PullLayaway CHAR (1), ", &R::PullLayaway},
            {"NewQty", "NewQty CHAR (1), ", &R::NewQty},
            {"TaxCodeRateAbove", "TaxCodeRateAbove CHAR (1), ", &R::TaxCodeRateAbove},
            {"BackTime", "BackTime CHAR (1), ", &R::BackTime},
            {"WeeklyNum", "WeeklyNum SMALLINT, ", &R::WeeklyNum},
            {"DailyNum", "DailyNum SMALLINT, ", &R::DailyNum},
            {"MinFreeSpace", "MinFreeSpace SMALLINT, ", &R::MinFreeSpace},
            {"POPrintPM", "POPrintPM CHAR (1), ", &R::POPrintPM},
            {"MinPriceWarn", "MinPriceWarn CHAR (1), ", &R::MinPriceWarn},
            {"PriceMethod", "PriceMethod CHAR (1), ", &R::PriceMethod},
            {"DMargin", "DMargin REAL, ", &R::DMargin},
            {"ICV", "ICV CHAR (1), ", &R::ICV},
            {"WinPOFlag", "WinPOFlag CHAR (1), ", &R::WinPOFlag},
            {"AllowChangeDiscount", "AllowChangeDiscount CHAR (1), ", &R::AllowChangeDiscount},
            {"CCountry", "CCountry CHAR (20), ", &R::CCountry},
            {"IncrementItems", "IncrementItems  CHAR (1), ", &R::IncrementItems},
            {"CountryID", "CountryID SMALLINT, ", &R::CountryID},
            {"Email", "Email CHAR (35), ", &R::Email},
            {"Spare", "Spare CHAR (65) ", &R::Spare},
        },
        {
            {"Create UNIQUE Index idx_0 On ", "(DupID);"},
        },
        {},
        true,
        QStringLiteral(" '"),
    };
    return def;
}

void FillRecord(std::int16_t table) {
    fillRecord(table, definition(), common());
}
void StoreRecord(std::int16_t table) {
    storeRecord(table, definition(), common());
}
void CleanRecordText() {
    cleanRecordText(definition(), common());
}
QString RecordValues() {
    return recordValues(definition(), common());
}
void LoadKey(std::int16_t /*table*/, std::int16_t /*key*/) {}
void DefineTable(std::int16_t table) {
    defineTable(table, definition());
}

void PrepareTable(std::int16_t table, const QString& dataPath) {
    setDescriptor(table,
                  {QStringLiteral("COMMON"), joinPath(dataPath, QStringLiteral("COMMON.JOV")),
                   QStringLiteral("COMMON"), QStringLiteral("Common")});
    prepareTable(table, definition());
}

} // namespace jovDBSM_Common
} // namespace vx::tables
