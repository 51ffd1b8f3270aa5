#pragma once
// The record codec every table module follows: a record type with named fields, and a table
// definition that lists, in column order, each column's create fragment and the record field it
// fills. From that one list the generic routines below fill the record from the current row,
// store it into the row, clean its texts, write its INSERT value list, load its keys and build
// its CREATE statements. A table module states only its own layout and its own rules.

#include "db/codecs.h"
#include "db/state.h"
#include "tables/fixed_text.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <variant>
#include <vector>

namespace vx::tables {

// Field flags.
enum FieldFlag : unsigned {
    kNameField = 1u << 0,   // CleanRecordText keeps apostrophes when the value has outer blanks
    kNoClean = 1u << 1,     // CleanRecordText leaves the field alone
    kNotFilled = 1u << 2,   // FillRecord does not read the column
    kNullIsZero = 1u << 3,  // a NULL column reads as 0
    kQuoted = 1u << 4,      // RecordValues writes the number between quotes
    kSpaceBefore = 1u << 5, // RecordValues puts a blank after the comma before this value
};

template <class Rec>
using FieldRef = std::variant<FixedText Rec::*, std::int16_t Rec::*, std::int32_t Rec::*,
                              float Rec::*, std::int64_t Rec::*>; // int64_t: currency

template <class Rec> struct FieldDef {
    const char* column;   // column name
    const char* fragment; // the column's create fragment, with its own trailing separator
    FieldRef<Rec> field;
    unsigned flags = 0;
};

struct IndexDef {
    const char* head;    // "Create Unique Index Index0 On "
    const char* columns; // "(PO);"
};

template <class Rec> struct TableDef {
    std::vector<FieldDef<Rec>> fields;
    std::vector<IndexDef> indexes;
    std::vector<std::vector<int>> keys; // key number → field indices in order
    bool quoteAllValues = false;        // every value between quotes
    QString afterLastValue;             // replaces the last closing quote (the company table)
};

// The generic routines; `table` is the table id of the record manager.
template <class Rec> void fillRecord(std::int16_t table, const TableDef<Rec>& def, Rec& rec);
// Only `fields` (indices into def.fields), read as fillRecord reads them; the other fields keep
// their values. For a walk over many rows that needs few of their fields.
template <class Rec>
void fillRecordFields(std::int16_t table, const TableDef<Rec>& def, Rec& rec,
                      const std::vector<int>& fields);
// One field (an index into def.fields) from a value, converted as fillRecord converts it: for a
// scan of many rows (db::Recordset::scan) that reads few of their columns.
template <class Rec>
void fillRecordField(const TableDef<Rec>& def, Rec& rec, int field, const db::DbValue& v);
// The index of the field of `column` (compared ignoring case); -1 when there is none.
template <class Rec> int fieldIndex(const TableDef<Rec>& def, const char* column);
// The fields whose columns the current row holds, found by name ignoring case (a query of some
// of the table's columns); the other fields keep their values.
template <class Rec> void fillRecordColumns(std::int16_t table, const TableDef<Rec>& def, Rec& rec);
template <class Rec> void storeRecord(std::int16_t table, const TableDef<Rec>& def, Rec& rec);
template <class Rec> void cleanRecordText(const TableDef<Rec>& def, Rec& rec);
template <class Rec> QString recordValues(const TableDef<Rec>& def, const Rec& rec);
template <class Rec>
void loadKey(std::int16_t table, const TableDef<Rec>& def, const Rec& rec, int key);
template <class Rec> void defineTable(std::int16_t table, const TableDef<Rec>& def);

// Descriptor fields a table module sets before creating or upgrading its table.
struct Descriptor {
    QString logicalName, dataFile, sqlName, displayName;
};
// Sets the descriptor's names and clears its open flag and state words.
void setDescriptor(std::int16_t table, const Descriptor& d);
template <class Rec> bool prepareTable(std::int16_t table, const TableDef<Rec>& def);

// Number text of the record's numeric fields in a VALUES list (locale-independent).
QString numberText(std::int64_t v);
QString numberText(float v);
QString currencyText(std::int64_t tenThousandths);

} // namespace vx::tables

#include "tables/record_codec_impl.h"
