#include "util/decimal.h"

#include <charconv>
#include <cstdlib>

namespace nrw::decimal {
namespace {

void Normalise(Decimal& value) {
  const auto first = value.digits.find_first_not_of('0');
  if (first == std::string::npos) {
    value = Decimal{};
    return;
  }
  value.digits.erase(0, first);
  value.point -= static_cast<int>(first);
  value.digits.erase(value.digits.find_last_not_of('0') + 1);
}

}  // namespace

Decimal FromDouble(double value) {
  if (value == 0.0) return Decimal{};
  // Scientific form always: "d.ddde+xx", one digit before the point, easy to take apart.
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
  const std::string text(buffer, result.ptr);
  Decimal decimal;
  size_t pos = 0;
  if (text[pos] == '-') {
    decimal.negative = true;
    ++pos;
  }
  const auto exponent_at = text.find('e', pos);
  for (size_t i = pos; i < exponent_at; ++i) {
    if (text[i] != '.') decimal.digits += text[i];
  }
  decimal.point = std::atoi(text.c_str() + exponent_at + 1) + 1;
  Normalise(decimal);
  return decimal;
}

Decimal FromInteger(int64_t value) {
  Decimal decimal;
  decimal.negative = value < 0;
  // Through the unsigned magnitude so that the smallest int64 has its digits too.
  uint64_t magnitude = decimal.negative ? 0 - static_cast<uint64_t>(value) : value;
  decimal.digits = std::to_string(magnitude);
  decimal.point = static_cast<int>(decimal.digits.size());
  Normalise(decimal);
  return decimal;
}

Decimal Round(Decimal value, int decimals) {
  const int keep = value.point + decimals;
  if (keep >= static_cast<int>(value.digits.size())) return value;
  if (keep < 0) return Decimal{};
  const bool round_up = value.digits[keep] >= '5';
  value.digits.resize(keep);
  if (round_up) {
    int i = keep - 1;
    while (i >= 0 && value.digits[i] == '9') {
      value.digits[i] = '0';
      --i;
    }
    if (i >= 0) {
      ++value.digits[i];
    } else {
      value.digits.insert(value.digits.begin(), '1');
      ++value.point;
    }
  }
  Normalise(value);
  return value;
}

std::string IntegerDigits(const Decimal& value) {
  if (value.point <= 0) return {};
  std::string digits = value.digits.substr(0, value.point);
  digits.append(value.point - digits.size(), '0');
  return digits;
}

std::string FractionDigits(const Decimal& value, int count) {
  std::string digits;
  for (int i = 0; i < count; ++i) {
    const int index = value.point + i;
    const bool inside = index >= 0 && index < static_cast<int>(value.digits.size());
    digits += inside ? value.digits[index] : '0';
  }
  return digits;
}

std::string ToPlainText(const Decimal& value, char decimal_separator) {
  if (value.IsZero()) return "0";
  std::string text = value.negative ? "-" : "";
  const std::string integer = IntegerDigits(value);
  text += integer.empty() ? "0" : integer;
  const int decimals = static_cast<int>(value.digits.size()) - value.point;
  if (decimals > 0) {
    text += decimal_separator;
    text += FractionDigits(value, decimals);
  }
  return text;
}

double ToDouble(const Decimal& value) {
  if (value.IsZero()) return 0.0;
  const std::string text =
      (value.negative ? "-0." : "0.") + value.digits + "e" + std::to_string(value.point);
  double result = 0.0;
  std::from_chars(text.data(), text.data() + text.size(), result);
  return result;
}

}  // namespace nrw::decimal
