// Decimal digits of a number, the form in which money is rounded and printed: rounding works on
// the shortest text that reads back as the same double, so 1.005 rounds as the decimal 1.005.
#pragma once

#include <cstdint>
#include <string>

namespace nrw::decimal {

//! value = (negative ? -1 : 1) * 0.d1d2d3... * 10^point. digits has no leading or trailing zeros;
//! empty digits is zero.
struct Decimal {
  bool negative = false;
  std::string digits;
  int point = 0;

  bool IsZero() const { return digits.empty(); }
};

//! Shortest round-trip digits of a finite double (-0 reads as zero).
Decimal FromDouble(double value);
Decimal FromInteger(int64_t value);
//! Half away from zero at the given number of decimals (negative decimals round to tens...).
Decimal Round(Decimal value, int decimals);
//! The digits before the point, "" when the integer part is zero.
std::string IntegerDigits(const Decimal& value);
//! Exactly count digits after the point (zero-filled, truncated beyond count).
std::string FractionDigits(const Decimal& value, int count);
//! Plain notation with the given decimal separator and no exponent ("-1234.5", "0.001", "0").
std::string ToPlainText(const Decimal& value, char decimal_separator);
double ToDouble(const Decimal& value);

}  // namespace nrw::decimal
