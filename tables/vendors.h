#pragma once
// The vendors table (table id 1, "VENDOR"): one row per supplier with its code, names, address,
// contact numbers and account figures. The same table serves every store.

#include "tables/record_codec.h"

namespace vx::tables {

struct VendorRec {
    std::int32_t VendorID = 0;
    FixedText VENDCODE{15};
    FixedText BUSINESS{40};
    FixedText LASTNAME{15};
    FixedText ZIP{10};
    FixedText MAILCODE{2};
    FixedText FIRSTNAME{15};
    FixedText ADDRESS{40};
    FixedText CITY{20};
    FixedText STATE{3};
    FixedText PHONE{14};
    FixedText FAX{14};
    FixedText DATE{8};
    std::int64_t BALANCE = 0; // currency
    FixedText NOTES{1};
    FixedText COUNTRY{12};
    std::int64_t LASTPAIDAMT = 0; // currency
    FixedText REFERENCE{30};
    std::int16_t PAYMENTTERM = 0;
    FixedText CODEFLAG{1};
    std::int64_t SPLITBALANC = 0; // currency
    std::int64_t RECURAMT = 0;    // currency
    FixedText POLL{1};
    FixedText PHONEEXT{9};
    FixedText DISCOUNTTERM{6};
    FixedText ADDRESS2{25};
    FixedText EMAIL{50};
    FixedText CELLPHONE{14};
};

// The module's record buffer.
VendorRec& vendor();

namespace jovDBSM_Vendors {
const TableDef<VendorRec>& definition();
void FillRecord(std::int16_t table);
void StoreRecord(std::int16_t table);
void CleanRecordText();
QString RecordValues();
void LoadKey(std::int16_t table, std::int16_t key);
void DefineTable(std::int16_t table);
// Creates VENDOR when missing; an existing table gets its old column EXPENSECD renamed COUNTRY.
void PrepareTable(std::int16_t table, const QString& dataPath);
// Every number 0 and every text blank (a vendor that is not on file).
void ClearRecord();
} // namespace jovDBSM_Vendors

} // namespace vx::tables
