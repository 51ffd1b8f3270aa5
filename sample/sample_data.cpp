#include "sample/sample_data.h"

#include "sample/csv.h"

#include <QDir>
#include <algorithm>
#include <cmath>
#include <functional>

namespace vx::sample {

const SampleVendor* SampleData::vendor(std::int32_t id) const {
    for (const SampleVendor& v : vendors)
        if (v.id == id)
            return &v;
    return nullptr;
}

const SampleOrder* SampleData::order(std::int32_t id) const {
    for (const SampleOrder& o : orders)
        if (o.id == id)
            return &o;
    return nullptr;
}

std::optional<std::int64_t> parseAmount(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return static_cast<std::int64_t>(std::llround(value * 10000.0));
}

std::int64_t divideRounded(std::int64_t numerator, std::int64_t denominator) {
    std::int64_t quotient = numerator / denominator;
    const std::int64_t rest = numerator % denominator; // its sign is the numerator's
    const std::int64_t twice = 2 * (rest < 0 ? -rest : rest);
    if (twice > denominator || (twice == denominator && quotient % 2 != 0))
        quotient += numerator < 0 ? -1 : 1;
    return quotient;
}

std::int64_t roundAmount(std::int64_t amount, int places) {
    std::int64_t unit = 1;
    for (int i = std::clamp(places, 0, 4); i < 4; ++i)
        unit *= 10;
    return divideRounded(amount, unit) * unit;
}

namespace {

// One row of a file with its fields reachable by column name; a bad field marks the row bad.
class Row {
  public:
    Row(const CsvTable& table, const QStringList& fields) : table_(table), fields_(fields) {}
    QString text(const char* column) {
        const int at = table_.column(QLatin1String(column));
        if (at < 0) {
            bad(column);
            return {};
        }
        return fields_[at];
    }
    std::int32_t integer(const char* column) {
        bool ok = false;
        const int value = text(column).toInt(&ok);
        if (!ok)
            bad(column);
        return value;
    }
    double number(const char* column) {
        bool ok = false;
        const double value = text(column).toDouble(&ok);
        if (!ok)
            bad(column);
        return value;
    }
    std::int64_t amount(const char* column) {
        const auto value = parseAmount(text(column));
        if (!value)
            bad(column);
        return value.value_or(0);
    }
    QDate date(const char* column) {
        const QDate value = QDate::fromString(text(column), Qt::ISODate);
        if (!value.isValid())
            bad(column);
        return value;
    }
    const QString& problem() const { return problem_; }

  private:
    void bad(const char* column) {
        if (problem_.isEmpty())
            problem_ = QStringLiteral("bad or missing field %1").arg(QLatin1String(column));
    }
    const CsvTable& table_;
    const QStringList& fields_;
    QString problem_;
};

// Reads one file of the folder, handing each row to `take`; false with `error` set on failure.
bool readRows(const QString& folder, const char* name, const std::function<void(Row&)>& take,
              QString* error) {
    const QString path = QDir(folder).filePath(QLatin1String(name));
    const auto table = readCsv(path, error);
    if (!table)
        return false;
    for (size_t i = 0; i < table->rows.size(); ++i) {
        Row row(*table, table->rows[i]);
        take(row);
        if (!row.problem().isEmpty()) {
            if (error)
                *error = QStringLiteral("%1, row %2: %3").arg(path).arg(i + 2).arg(row.problem());
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<SampleData> loadSampleData(const QString& folder, QString* error) {
    SampleData data;
    const bool ok =
        readRows(
            folder, "vendors.csv",
            [&](Row& r) {
                data.vendors.push_back(
                    {r.integer("BusinessEntityID"), r.text("AccountNumber"), r.text("Name"),
                     r.text("AddressLine1"), r.text("AddressLine2"), r.text("City"),
                     r.text("StateProvinceCode"), r.text("PostalCode"), r.text("CountryRegionCode"),
                     r.text("FirstName"), r.text("LastName"), r.text("PhoneNumber")});
            },
            error) &&
        readRows(
            folder, "products.csv",
            [&](Row& r) {
                data.products.push_back({r.integer("ProductID"), r.text("ProductNumber"),
                                         r.text("Name"), r.amount("StandardCost"),
                                         r.amount("ListPrice")});
            },
            error) &&
        readRows(
            folder, "orders.csv",
            [&](Row& r) {
                const int status = r.integer("Status");
                data.orders.push_back({r.integer("PurchaseOrderID"),
                                       static_cast<OrderStatus>(std::clamp(status, 1, 4)),
                                       r.integer("VendorID"), r.date("OrderDate"),
                                       r.date("ShipDate"), r.amount("SubTotal")});
            },
            error) &&
        readRows(
            folder, "order_lines.csv",
            [&](Row& r) {
                data.lines.push_back({r.integer("PurchaseOrderID"),
                                      r.integer("PurchaseOrderDetailID"), r.date("DueDate"),
                                      r.number("OrderQty"), r.integer("ProductID"),
                                      r.amount("UnitPrice"), r.amount("LineTotal"),
                                      r.number("ReceivedQty"), r.number("RejectedQty")});
            },
            error);
    if (!ok)
        return std::nullopt;
    return data;
}

qint64 recentShiftDays(const SampleData& data, const QDate& today) {
    QDate newest;
    for (const SampleOrder& o : data.orders)
        if (!newest.isValid() || o.orderDate > newest)
            newest = o.orderDate;
    if (!newest.isValid())
        return 0;
    // The largest whole number of weeks that keeps the newest order on or before today.
    const qint64 days = newest.daysTo(today);
    return (days >= 0 ? days / 7 : -((-days + 6) / 7)) * 7;
}

} // namespace vx::sample
