#pragma once
// The purchasing sample as the store loader uses it: vendors with their main office and first
// contact, items, purchase orders and their lines, read from the four files of the sample folder
// (vendors.csv, products.csv, orders.csv, order_lines.csv). Amounts are kept in ten-thousandths,
// as the tables keep currency.

#include <QDate>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace vx::sample {

struct SampleVendor {
    std::int32_t id = 0;
    QString account; // the vendor's account number: its code in the store
    QString name;
    // The main office.
    QString address1;
    QString address2;
    QString city;
    QString state; // state or province code
    QString postalCode;
    QString country; // country or region code
    // The first contact, and the number to reach them on.
    QString firstName;
    QString lastName;
    QString phone;
};

struct SampleProduct {
    std::int32_t id = 0;
    QString number; // the item's product number
    QString name;
    std::int64_t standardCost = 0;
    std::int64_t listPrice = 0;
};

// Order states of the sample.
enum class OrderStatus { Pending = 1, Approved = 2, Rejected = 3, Complete = 4 };

struct SampleOrder {
    std::int32_t id = 0;
    OrderStatus status = OrderStatus::Pending;
    std::int32_t vendorId = 0;
    QDate orderDate;
    QDate shipDate;
    std::int64_t subTotal = 0;
};

struct SampleLine {
    std::int32_t orderId = 0;
    std::int32_t detailId = 0; // unique over all lines
    QDate dueDate;
    double orderQty = 0;
    std::int32_t productId = 0;
    std::int64_t unitPrice = 0;
    std::int64_t lineTotal = 0;
    double receivedQty = 0;
    double rejectedQty = 0;
};

struct SampleData {
    std::vector<SampleVendor> vendors;
    std::vector<SampleProduct> products;
    std::vector<SampleOrder> orders; // by order date
    std::vector<SampleLine> lines;   // by order, then line

    const SampleVendor* vendor(std::int32_t id) const;
    const SampleOrder* order(std::int32_t id) const;
};

// Reads the sample folder; nullopt with `error` set when a file is missing or malformed.
std::optional<SampleData> loadSampleData(const QString& folder, QString* error = nullptr);

// "45.3705" as 453705 ten-thousandths; nullopt when the text is no number.
std::optional<std::int64_t> parseAmount(const QString& text);

// `numerator` / `denominator` (positive) to the nearest whole number, a half to the even one: the
// suite's rounding of currency.
std::int64_t divideRounded(std::int64_t numerator, std::int64_t denominator);
// An amount of ten-thousandths rounded to `places` decimals (0 to 4), a half to the even one, so
// that a column of that many decimals keeps it as it is.
std::int64_t roundAmount(std::int64_t amount, int places);

// The days to add to every date of the sample so that its newest order date falls within the
// week that ends on `today`: a whole number of weeks, so every date keeps its weekday.
qint64 recentShiftDays(const SampleData& data, const QDate& today);

} // namespace vx::sample
