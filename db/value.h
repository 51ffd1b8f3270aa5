#pragma once
// One value of a database row, as the engines deliver it: NULL, a whole number, a floating-point
// number, an exact decimal (DECIMAL/NUMERIC columns keep their scale), or text.

#include <QString>
#include <cstdint>

namespace vx::db {

class DbValue {
  public:
    enum class Type : std::uint8_t { Null, Integer, Real, Decimal, Text };

    DbValue() = default;
    static DbValue integer(std::int64_t v);
    static DbValue real(double v);
    // unscaled / 10^scale, e.g. decimal(12345, 2) is 123.45.
    static DbValue decimal(std::int64_t unscaled, int scale);
    static DbValue text(const QString& v);
    // Parses an engine's decimal text ("-12.5000") exactly; nullopt-like Null when it is no number.
    static DbValue decimalFromText(const QString& text);

    Type type() const { return type_; }
    bool isNull() const { return type_ == Type::Null; }
    bool isNumber() const {
        return type_ == Type::Integer || type_ == Type::Real || type_ == Type::Decimal;
    }

    // Conversions as the suite's runtime made them: text of a number, number of a text (leading
    // number, 0 when there is none), NULL as 0 / empty text.
    std::int64_t toInt() const; // rounded half to even
    double toDouble() const;
    QString toString() const; // numbers without trailing zeros ("12.5"), NULL empty
    // The value as a currency amount: a count of ten-thousandths, rounded half to even.
    std::int64_t toCurrency() const;
    // Rounds a Real or Decimal to `scale` decimals, halves away from zero (as a DECIMAL column
    // stores them); other types are returned unchanged.
    DbValue roundedTo(int scale) const;

    std::int64_t unscaled() const { return i_; }
    int scale() const { return scale_; }

    friend bool operator==(const DbValue& a, const DbValue& b);

  private:
    Type type_ = Type::Null;
    int scale_ = 0;
    std::int64_t i_ = 0;
    double d_ = 0;
    QString s_;
};

} // namespace vx::db
