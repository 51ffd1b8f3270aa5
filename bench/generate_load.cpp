#include "bench/generate_load.h"

#include "sample/store_setup.h"

#include "db/operations.h"
#include "platform/err.h"
#include "tables/common.h"
#include "tables/dispatch.h"
#include "tables/inventory.h"
#include "tables/po_header.h"
#include "tables/po_history.h"
#include "tables/po_line.h"
#include "tables/vendors.h"

#include <QElapsedTimer>

namespace vx::bench {

using namespace vx::tables;

namespace {

constexpr std::int16_t kStoreNumber = 1;
// Rows per transaction: one commit per row would wait for the disk a million times.
constexpr std::int64_t kRowsPerTransaction = 100'000;
// Per thousand receipt rows: booked but not yet posted (status "U").
constexpr int kUnposted = 5;

QString day(const QDate& d) {
    return d.toString(u"yyyyMMdd");
}

std::int64_t amount(std::int64_t unitCost, float quantity) {
    return unitCost * static_cast<std::int64_t>(quantity);
}

class Loader {
  public:
    Loader(const BenchStoreOptions& options, const StorePlan& plan, BenchStoreResult& result)
        : options_(options), shape_(options.shape), plan_(plan), result_(result),
          random_(shape_.seed ^ 0x5EED) {}

    bool run() {
        return phase(QStringLiteral("vendors"), &Loader::vendors) &&
               phase(QStringLiteral("items"), &Loader::items) &&
               phase(QStringLiteral("orders and lines"), &Loader::orders) &&
               phase(QStringLiteral("receiving history"), &Loader::history);
    }

  private:
    // One phase in its own run of transactions, timed.
    bool phase(const QString& name, std::int64_t (Loader::*body)()) {
        if (options_.progress)
            options_.progress(QStringLiteral("Writing ") + name + QStringLiteral("..."));
        QElapsedTimer timer;
        timer.start();
        if (!statement("BEGIN TRANSACTION"))
            return false;
        const std::int64_t rows = (this->*body)();
        if (rows < 0) {
            const QString why = result_.error; // the failure, not what the rollback says
            statement("ROLLBACK TRANSACTION");
            result_.error = why;
            return false;
        }
        if (!statement("COMMIT TRANSACTION"))
            return false;
        result_.phases.push_back({name, rows, timer.elapsed() / 1000.0});
        return true;
    }

    bool statement(const char* sql) {
        QString why;
        if (runStatement(QLatin1String(sql), &why))
            return true;
        result_.error = QStringLiteral("%1 failed: %2").arg(QLatin1String(sql), why);
        return false;
    }

    // After each row: a long phase commits now and then, with the inserters' rows written.
    bool added(BulkInserter& a, BulkInserter* b = nullptr) {
        if (!a.add())
            return failed(a);
        if (++sinceCommit_ < kRowsPerTransaction)
            return true;
        sinceCommit_ = 0;
        if (!a.flush())
            return failed(a);
        if (b && !b->flush())
            return failed(*b);
        return statement("COMMIT TRANSACTION") && statement("BEGIN TRANSACTION");
    }

    bool failed(const BulkInserter& inserter) {
        result_.error = inserter.error();
        return false;
    }

    std::int64_t finish(BulkInserter& inserter) {
        return inserter.flush() ? inserter.rows() : (failed(inserter), -1);
    }

    std::int64_t vendors() {
        BulkInserter out(kVendors, options_.insertMode);
        for (std::int32_t n = 1; n <= shape_.vendors; ++n) {
            VendorRec& v = vendor();
            v = VendorRec{};
            v.VendorID = n;
            v.VENDCODE = vendorCode(n);
            v.BUSINESS = QStringLiteral("Vendor %1 Wholesale").arg(n);
            v.CITY = QStringLiteral("Springfield");
            v.COUNTRY = QStringLiteral("USA");
            if (!added(out))
                return -1;
        }
        result_.vendors = finish(out);
        return result_.vendors;
    }

    std::int64_t items() {
        BulkInserter out(kInventory, options_.insertMode);
        for (std::int32_t id = 1; id <= shape_.items; ++id) {
            InventoryRec& i = inventory();
            i = InventoryRec{};
            i.RecordNum = id;
            i.SL = QString::number(id);
            i.ItemID = QStringLiteral("BX%1").arg(id, 8, 10, QLatin1Char('0'));
            i.Description = QStringLiteral("Item %1").arg(id);
            i.VendorCode = vendorCode(1 + id % shape_.vendors);
            i.Price = itemPrice(shape_, id);
            i.Cost = itemCost(shape_, id);
            i.AvgCost = i.Cost;
            i.QtyOnHand = static_cast<float>(id % 97);
            i.QTYINPACK = 1;
            if (!added(out))
                return -1;
        }
        result_.items = finish(out);
        return result_.items;
    }

    std::int64_t orders() {
        BulkInserter headers(kPOHeader, options_.insertMode);
        BulkInserter lines(kPOLine, options_.insertMode);
        for (const OrderPlan& o : plan_.orders) {
            const std::vector<LinePlan> planned = orderLines(shape_, o);
            const QString po = QString::number(o.number);
            const QDate done = o.receivedLater.isValid() ? o.receivedLater : o.received;
            std::int64_t total = 0;
            std::int16_t lineNum = 0;
            for (const LinePlan& p : planned) {
                POLineRec& l = poLine();
                l = POLineRec{};
                l.PO = po;
                l.LineNum = ++lineNum;
                l.ARCode = o.vendorCode;
                l.OrderDate = day(o.ordered);
                l.Quantity2Order = p.quantity;
                l.Cost = p.unitCost;
                l.LineTotal = amount(p.unitCost, p.quantity);
                l.ChangeDate = day(done);
                l.Status = QStringLiteral("C");
                l.Store = kStoreNumber;
                l.InvUID = p.invUid;
                l.Received = p.quantity;
                total += l.LineTotal;
                if (!added(lines, &headers))
                    return -1;
            }
            POHeaderRec& h = poHeader();
            h = POHeaderRec{};
            h.PO = po;
            h.VendorPONum = QStringLiteral("VP") + po;
            h.SENTOUT = QStringLiteral("Y");
            h.VENDORCODE = o.vendorCode;
            h.ORDERDATE = day(o.ordered);
            h.ETADATE = day(o.received);
            h.SHIPDATE = day(o.received);
            h.CHANGEDATE = day(done);
            h.STATUS = QStringLiteral("C");
            h.TOTAL = total;
            h.Store = kStoreNumber;
            if (!added(headers, &lines))
                return -1;
        }
        const std::int64_t lineRows = finish(lines);
        result_.orders = lineRows < 0 ? -1 : finish(headers);
        result_.lines = lineRows;
        return result_.orders < 0 ? -1 : result_.orders + lineRows;
    }

    std::int64_t history() {
        BulkInserter out(kPOHistory, options_.insertMode);
        std::int32_t uniqueId = 0;
        for (const Delivery& d : plan_.deliveries) {
            const OrderPlan& o = plan_.orders[static_cast<size_t>(d.order)];
            const std::vector<LinePlan> lines = orderLines(shape_, o);
            for (std::int32_t row = d.firstRow; row < d.firstRow + d.rowCount; ++row) {
                const LinePlan& l = lines[static_cast<size_t>(row) % lines.size()];
                POHistoryRec& r = poHistory();
                r = POHistoryRec{};
                r.DateReceived = day(d.day);
                r.PONumber = QString::number(o.number);
                r.InvUID = l.invUid;
                r.UnitQty = receivedQuantity(shape_, o, row, l);
                r.UnitCost = l.unitCost;
                r.Pack = 1;
                r.VendorCode = o.vendorCode;
                const bool unposted = random_.chance(kUnposted);
                r.Status = unposted ? QStringLiteral("U") : QStringLiteral("R");
                r.UniqueID = ++uniqueId;
                r.DateOrdered = day(o.ordered);
                if (!added(out))
                    return -1;
                result_.unposted += unposted;
                result_.missingItems += !l.itemOnFile;
                result_.missingVendors += !o.vendorOnFile;
                if (!result_.first.isValid() || d.day < result_.first)
                    result_.first = d.day;
                if (!result_.last.isValid() || d.day > result_.last)
                    result_.last = d.day;
            }
            if (options_.progress &&
                uniqueId / kRowsPerTransaction != (uniqueId - d.rowCount) / kRowsPerTransaction)
                options_.progress(QStringLiteral("  %1 history rows").arg(uniqueId));
        }
        result_.deliveries = static_cast<std::int64_t>(plan_.deliveries.size());
        result_.rows = finish(out);
        return result_.rows;
    }

    const BenchStoreOptions& options_;
    const StoreShape& shape_;
    const StorePlan& plan_;
    BenchStoreResult& result_;
    Random random_;
    std::int64_t sinceCommit_ = 0;
};

} // namespace

bool insertCompany(QString* error) {
    return sample::insertStoreCompany(QStringLiteral("Vantrex Benchmark Store"), kStoreNumber,
                                      error);
}

bool loadStore(const BenchStoreOptions& options, const StorePlan& plan, BenchStoreResult& result) {
    return Loader(options, plan, result).run();
}

} // namespace vx::bench
