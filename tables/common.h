#pragma once
// The common table (table id 0, "COMMON"): the company record of the installation. Its one row
// carries the company's name and address, the store number, tax rates and rules, access, backup
// and printing settings. The report reads its first row once at start-up.

#include "tables/record_codec.h"

namespace vx::tables {

struct CommonRec {
    FixedText ProgramVersion{10};
    FixedText DupID{1};
    FixedText Cname{40};
    FixedText WebAddress{40};
    FixedText Ccity{25};
    FixedText Cstate{3};
    FixedText Czip{10};
    FixedText CPhone{14};
    FixedText Cfax{14};
    FixedText MandatoryName{1};
    std::int32_t RequestedTicket = 0;
    std::int16_t MaxStations = 0;
    FixedText USEurope{1};
    FixedText Cups{11};
    FixedText ShippingSL1{8}; // the columns are 9 wide: the ninth character is not kept
    FixedText ShippingSL2{8};
    FixedText ShippingSL3{8};
    float ExchangeRate = 0;
    FixedText Back_Up{1};
    FixedText PackMode{3};
    FixedText Security{1};
    std::int32_t PONumber = 0;
    std::int16_t StoreNumber = 0;
    FixedText Accounting{2};
    FixedText AutoPhoneFormat{1};
    FixedText AutoProperNames{1};
    FixedText OrderOfLookup{1};
    FixedText DefaultARCode{1};
    FixedText D2{9};
    FixedText MultiStore{1};
    FixedText D5{2};
    float TaxRate1 = 0;
    float TaxRate2 = 0;
    float TaxRate3 = 0;
    float TaxRate4 = 0;
    float TaxRate5 = 0;
    float TaxRate6 = 0; // column 74: declared with its fellow rates, stored after NickelAdjust
    std::int64_t BreakPoint = 0; // currency
    float TaxRateAbove = 0;
    float TaxRate2nd = 0;
    FixedText TaxCity{1};
    FixedText TaxRound{1};
    FixedText TaxLineTot{1};
    std::int64_t NoTaxOnFirst = 0; // currency
    std::int64_t TaxAdjust = 0;    // currency
    FixedText PrTagTax{1};
    FixedText CreditService{1};
    FixedText CreditUserID{20};
    FixedText CreditPwd{20};
    FixedText AccessAcount{1};
    FixedText AccessInventory{1};
    FixedText AccessConfig{1};
    FixedText AccessOrder{1};
    FixedText AccessVoid{1};
    FixedText AccessReports{1};
    FixedText AccessMargin{1};
    FixedText AccessCost{1};
    FixedText AccessQty{1};
    FixedText CRLimmitActive{1};
    FixedText SlipPrint{6};
    FixedText UpperCaseItemID{1};
    FixedText UpperCaseSL{1};
    FixedText POExportType{1};
    FixedText NamePreFill{1};
    FixedText CheckStatCode{2};
    FixedText CheckCompany{3};
    FixedText FullBack{1};
    std::int16_t StaFullBack = 0;
    FixedText FullBackTime{1}; // a SMALLINT column: the first character of its number
    FixedText TaxSearch2nd{1};
    FixedText TaxLabel2nd{3};
    FixedText MerchantID{14};
    FixedText PartnerID{14};
    FixedText ReprintMessage{15};
    FixedText NickelAdjust{1};
    std::int64_t StartupFee = 0; // currency
    std::int64_t CancelFee = 0;  // currency
    std::int64_t MinPercent = 0; // currency
    std::int64_t MinDollar = 0;  // currency
    FixedText PullLayaway{1};
    FixedText NewQty{1};
    FixedText TaxCodeRateAbove{1};
    FixedText BackTime{1};
    std::int16_t WeeklyNum = 0;
    std::int16_t DailyNum = 0;
    std::int16_t MinFreeSpace = 0;
    FixedText POPrintPM{1};
    FixedText MinPriceWarn{1};
    FixedText PriceMethod{1};
    float DMargin = 0;
    FixedText ICV{1};
    FixedText WinPOFlag{1};
    FixedText AllowChangeDiscount{1};
    FixedText CCountry{20};
    FixedText IncrementItems{1};
    std::int16_t CountryID = 0;
    FixedText Email{35};
    FixedText Spare{65};
};

// The module's record buffer.
CommonRec& common();

namespace jovDBSM_Common {
const TableDef<CommonRec>& definition();
void FillRecord(std::int16_t table);
void StoreRecord(std::int16_t table);
void CleanRecordText();
QString RecordValues();
// The table has no keys: does nothing for any key number.
void LoadKey(std::int16_t table, std::int16_t key);
void DefineTable(std::int16_t table);
// Creates COMMON when missing; an existing table is left as it is.
void PrepareTable(std::int16_t table, const QString& dataPath);
} // namespace jovDBSM_Common

} // namespace vx::tables
