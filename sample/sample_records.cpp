#include "sample/sample_records.h"

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

#include <map>

namespace vx::sample {

using namespace vx::tables;

namespace {

constexpr std::int16_t kStoreNumber = 1;

// The record buffer of `table` added as a new row.
bool insert(std::int16_t table, const QString& what, QString* error) {
    Err().Clear();
    if (db::gfbDB_Operation(table, db::kOpInsert, 0))
        return true;
    if (error)
        *error = what + QStringLiteral(" cannot be added: ") + Err().Description;
    return false;
}

// What the sample's lines tell about an item.
struct ItemFacts {
    QString vendorCode; // the vendor of its latest order
    double onHand = 0;  // received and kept on completed orders
    double onOrder = 0; // ordered on open orders
    std::int64_t costSum = 0;
    int costCount = 0;
};

// The item's S/L code, eight characters as the suite's are: the record number with leading
// zeros.
QString slCode(std::int32_t recordNum) {
    return QStringLiteral("%1").arg(recordNum, 8, 10, QLatin1Char('0'));
}

bool isOpen(OrderStatus s) {
    return s == OrderStatus::Pending || s == OrderStatus::Approved;
}

// The store's order status: C completed, X cancelled (rejected), O open.
QString statusCode(OrderStatus s) {
    switch (s) {
    case OrderStatus::Complete:
        return QStringLiteral("C");
    case OrderStatus::Rejected:
        return QStringLiteral("X");
    default:
        return QStringLiteral("O");
    }
}

class Loader {
  public:
    Loader(const SampleData& data, qint64 shiftDays, SampleStoreResult& result)
        : data_(data), shift_(shiftDays), result_(result) {
        for (const SampleLine& l : data.lines)
            linesOf_[l.orderId].push_back(&l);
    }

    bool run() { return vendors() && items() && orders(); }

  private:
    QString date(const QDate& d) const { return d.addDays(shift_).toString(u"yyyyMMdd"); }
    QString vendorCode(std::int32_t vendorId) const {
        const SampleVendor* v = data_.vendor(vendorId);
        return v ? v->account : QString();
    }

    bool vendors() {
        for (const SampleVendor& s : data_.vendors) {
            VendorRec& v = vendor();
            v = VendorRec{};
            v.VendorID = s.id;
            v.VENDCODE = s.account;
            v.BUSINESS = s.name;
            // Each field keeps what fits its width, as the suite's forms do.
            v.ADDRESS = s.address1;
            v.ADDRESS2 = s.address2;
            v.CITY = s.city;
            v.STATE = s.state;
            v.ZIP = s.postalCode;
            v.COUNTRY = s.country;
            v.FIRSTNAME = s.firstName;
            v.LASTNAME = s.lastName;
            v.PHONE = s.phone;
            if (!insert(kVendors, QStringLiteral("Vendor ") + s.account, &result_.error))
                return false;
            ++result_.vendors;
        }
        return true;
    }

    bool items() {
        std::map<std::int32_t, ItemFacts> facts;
        for (const SampleLine& l : data_.lines) {
            const SampleOrder* o = data_.order(l.orderId);
            if (!o)
                continue;
            ItemFacts& f = facts[l.productId];
            f.vendorCode = vendorCode(o->vendorId);
            if (o->status == OrderStatus::Complete)
                f.onHand += l.receivedQty - l.rejectedQty;
            if (isOpen(o->status))
                f.onOrder += l.orderQty;
            f.costSum += l.unitPrice;
            ++f.costCount;
        }
        for (const SampleProduct& p : data_.products) {
            const ItemFacts& f = facts[p.id];
            // Parts bought in carry no standard cost: what they were bought at stands in.
            const std::int64_t cost = p.standardCost > 0 ? p.standardCost
                                      : f.costCount > 0  ? divideRounded(f.costSum, f.costCount)
                                                         : 0;
            InventoryRec& i = inventory();
            i = InventoryRec{};
            i.RecordNum = p.id;
            i.SL = slCode(p.id);
            i.ItemID = p.number;
            i.Description = p.name;
            i.VendorCode = f.vendorCode;
            // Parts are not sold and have no list price: a 40 % mark-up on cost, to the cent,
            // gives them a retail value in the reports (cost × 14 counts hundred-thousandths, a
            // thousand of which make a cent).
            i.Price = p.listPrice > 0 ? p.listPrice : divideRounded(cost * 14, 1000) * 100;
            i.Cost = cost;
            i.AvgCost = cost;
            i.QtyOnHand = static_cast<float>(f.onHand);
            i.OnOrder = static_cast<std::int16_t>(f.onOrder);
            i.QTYINPACK = 1;
            if (!insert(kInventory, QStringLiteral("Item ") + p.number, &result_.error))
                return false;
            ++result_.items;
        }
        return true;
    }

    bool orders() {
        for (const SampleOrder& o : data_.orders) {
            const QString code = vendorCode(o.vendorId);
            if (code.isEmpty()) {
                result_.error = QStringLiteral("Order %1 names no known vendor (%2).")
                                    .arg(o.id)
                                    .arg(o.vendorId);
                return false;
            }
            const std::vector<const SampleLine*>& lines = linesOf_[o.id];
            if (!header(o, code, lines))
                return false;
            std::int16_t lineNum = 0;
            for (const SampleLine* l : lines)
                if (!line(o, code, *l, ++lineNum) || !receipt(o, code, *l))
                    return false;
        }
        return true;
    }

    bool header(const SampleOrder& o, const QString& code,
                const std::vector<const SampleLine*>& lines) {
        POHeaderRec& h = poHeader();
        h = POHeaderRec{};
        h.PO = QString::number(o.id);
        h.VendorPONum = QStringLiteral("AW%1").arg(o.id);
        h.SENTOUT = o.status == OrderStatus::Pending ? QStringLiteral("N") : QStringLiteral("Y");
        h.VENDORCODE = code;
        h.ORDERDATE = date(o.orderDate);
        h.SHIPDATE = date(o.shipDate);
        if (!lines.empty())
            h.ETADATE = date(lines.front()->dueDate);
        h.CHANGEDATE = date(isOpen(o.status) ? o.orderDate : o.shipDate);
        if (o.status == OrderStatus::Rejected)
            h.CANCELDATE = date(o.shipDate);
        h.STATUS = statusCode(o.status);
        h.TOTAL = roundAmount(o.subTotal, 2); // TOTAL keeps cents
        h.Store = kStoreNumber;
        if (!insert(kPOHeader, QStringLiteral("Order %1").arg(o.id), &result_.error))
            return false;
        ++result_.orders;
        return true;
    }

    bool line(const SampleOrder& o, const QString& code, const SampleLine& s,
              std::int16_t lineNum) {
        POLineRec& l = poLine();
        l = POLineRec{};
        l.PO = QString::number(o.id);
        l.LineNum = lineNum;
        l.ARCode = code;
        l.OrderDate = date(o.orderDate);
        l.Quantity2Order = static_cast<float>(s.orderQty);
        l.Cost = s.unitPrice;
        l.LineTotal = s.lineTotal;
        l.ChangeDate = date(isOpen(o.status) ? o.orderDate : o.shipDate);
        l.Status = statusCode(o.status);
        l.Store = kStoreNumber;
        l.InvUID = s.productId;
        l.OnOrder = isOpen(o.status) ? static_cast<float>(s.orderQty) : 0;
        l.Received = o.status == OrderStatus::Complete ? static_cast<float>(s.receivedQty) : 0;
        if (!insert(kPOLine, QStringLiteral("Line %1 of order %2").arg(lineNum).arg(o.id),
                    &result_.error))
            return false;
        ++result_.lines;
        return true;
    }

    // A completed order's line was received on the ship date.
    bool receipt(const SampleOrder& o, const QString& code, const SampleLine& s) {
        if (o.status != OrderStatus::Complete || s.receivedQty <= 0)
            return true;
        POHistoryRec& r = poHistory();
        r = POHistoryRec{};
        r.DateReceived = date(o.shipDate);
        r.PONumber = QString::number(o.id);
        r.InvUID = s.productId;
        r.UnitQty = static_cast<float>(s.receivedQty);
        r.UnitCost = roundAmount(s.unitPrice, 3); // UnitCost keeps three decimals
        r.Pack = 1;
        r.VendorCode = code;
        r.Status = QStringLiteral("R");
        r.UniqueID = s.detailId;
        r.DateOrdered = date(o.orderDate);
        if (!insert(kPOHistory, QStringLiteral("Receipt %1").arg(s.detailId), &result_.error))
            return false;
        ++result_.receipts;
        const QDate received = o.shipDate.addDays(shift_);
        if (!result_.firstReceipt.isValid() || received < result_.firstReceipt)
            result_.firstReceipt = received;
        if (!result_.lastReceipt.isValid() || received > result_.lastReceipt)
            result_.lastReceipt = received;
        return true;
    }

    const SampleData& data_;
    qint64 shift_;
    SampleStoreResult& result_;
    std::map<std::int32_t, std::vector<const SampleLine*>> linesOf_;
};

} // namespace

bool insertCompany(QString* error) {
    return insertStoreCompany(QStringLiteral("Adventure Works Cycles"), kStoreNumber, error);
}

bool insertSampleRecords(const SampleData& data, qint64 shiftDays, SampleStoreResult& result) {
    return Loader(data, shiftDays, result).run();
}

} // namespace vx::sample
