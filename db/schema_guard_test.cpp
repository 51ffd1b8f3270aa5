// The catalogue check before a change of columns: the statements recognised, the verdicts.
#include "db/schema_catalogue.h"
#include "db/schema_guard.h"
#include "db/testing/backends.h"

#include <gtest/gtest.h>

namespace vx::dbtest {
namespace {

using db::ChangeCheck;
using db::ColumnChange;

TEST(ColumnChanges, TheUpgradeStatementsAreRecognised) {
    using K = ColumnChange::Kind;
    // clang-format off
    const std::tuple<const char*, K, const char*> cases[] = { // table|column|type|new name
        {"ALTER TABLE invt ALTER COLUMN itemID CHAR(25);", K::AlterType, "invt|itemID|CHAR(25)|"},
        {"ALTER TABLE invt2 ADD PenLiqorUnit SMALLINT ", K::Add, "invt2|PenLiqorUnit|SMALLINT|"},
        {"sp_RENAME 'VENDOR.EXPENSECD', 'COUNTRY ', 'COLUMN'", K::Rename, "VENDOR|EXPENSECD||COUNTRY"},
        {"ALTER TABLE invt ADD CONSTRAINT c UNIQUE (SL)", K::None, "|||"},
        {"SELECT 'ALTER TABLE t ADD c INT' FROM x", K::None, "|||"}};
    // clang-format on
    for (const auto& [sql, kind, parts] : cases) {
        const ColumnChange got = db::parseColumnChange(QString::fromLatin1(sql));
        EXPECT_EQ(got.kind, kind) << sql;
        EXPECT_EQ(QStringList({got.table, got.column, got.type.trimmed(), got.newName}).join(u'|'),
                  parts);
    }
}

class SchemaGuard : public BackendTest {};

TEST_P(SchemaGuard, TheCatalogueDecidesWhatIsSent) {
    ASSERT_TRUE(db().raw(QStringLiteral("CREATE TABLE Shelf (Code CHAR(15), Qty REAL, "
                                        "Price DECIMAL(18,4), Pack SMALLINT, Num INTEGER)")));
    ASSERT_TRUE(db().raw(QStringLiteral("CREATE VIEW ShelfCodes AS SELECT Code FROM Shelf")));
    // Only PostgreSQL keeps a column that a view reads from changing its type; SQLite rebuilds
    // the table and keeps the view.
    const ChangeCheck blockedByView =
        onPostgresServer(GetParam()) ? ChangeCheck::Refused : ChangeCheck::Run;
    const struct {
        const char* sql;
        ChangeCheck expected;
        const char* why; // a fragment of the refusal
    } cases[] = {
        {"ALTER TABLE SHELF ALTER COLUMN price DECIMAL (18,4)", ChangeCheck::AlreadyMade, ""},
        {"ALTER TABLE Shelf ALTER COLUMN Qty Decimal(18,4)", ChangeCheck::Run, ""},
        {"ALTER TABLE Shelf ALTER COLUMN Code CHAR(15)", ChangeCheck::AlreadyMade, ""},
        {"ALTER TABLE Shelf ALTER COLUMN Qty REAL", ChangeCheck::AlreadyMade, ""},
        {"ALTER TABLE Shelf ALTER COLUMN Num INTEGER", ChangeCheck::AlreadyMade, ""},
        {"ALTER TABLE Shelf ALTER COLUMN Num SMALLINT", ChangeCheck::Run, ""},
        {"ALTER TABLE Shelf ALTER COLUMN Code CHAR(25)", blockedByView, "view shelfcodes"},
        {"ALTER TABLE Shelf ADD Pack SMALLINT ", ChangeCheck::Refused, "'Pack'"},
        {"ALTER TABLE Shelf ADD Extra INTEGER ", ChangeCheck::Run, ""},
        {"ALTER TABLE NoSuchTable ADD Extra INTEGER ", ChangeCheck::Run, ""},
        {"sp_RENAME 'Shelf.Flg2', 'NeverOrder ', 'COLUMN'", ChangeCheck::Refused, "@objname"},
        {"sp_RENAME 'Shelf.Qty', 'Num ', 'COLUMN'", ChangeCheck::Refused, "'Num'"},
        {"sp_RENAME 'Shelf.Qty', 'Quantity ', 'COLUMN'", ChangeCheck::Run, ""},
    };
    for (const auto& c : cases) {
        db::DbError why;
        QStringList blockers;
        const ChangeCheck got = db::checkColumnChange(
            *conn, db::parseColumnChange(QString::fromLatin1(c.sql)), why, blockers);
        EXPECT_EQ(got, c.expected) << c.sql;
        EXPECT_TRUE(got != ChangeCheck::Refused ||
                    why.description.contains(c.why, Qt::CaseInsensitive))
            << c.sql << ": " << why.description.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, SchemaGuard, ::testing::ValuesIn(allBackends()), backendName);

} // namespace
} // namespace vx::dbtest
