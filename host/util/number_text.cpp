#include <fmt/core.h>

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

#include "nrw/core.h"
#include "nrw/format.h"
#include "util/decimal.h"

namespace nrw {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimView(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Digits with "." thousands separators in groups of three: "1.234.567".
bool ValidGrouping(std::string_view integer) {
  size_t group = 0;
  bool first_group = true;
  for (const char c : integer) {
    if (c == '.') {
      if (group == 0 || group > 3 || (!first_group && group != 3)) return false;
      first_group = false;
      group = 0;
    } else {
      ++group;
    }
  }
  return first_group || group == 3;
}

}  // namespace

std::string Trim(std::string_view text) { return std::string(TrimView(text)); }

std::string UpperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

std::string LowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  const auto lower = [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  };
  for (size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::string IntToStr(int64_t value) { return std::to_string(value); }

std::string FloatToStr(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  const decimal::Decimal digits = decimal::FromDouble(value);
  const double magnitude = std::fabs(value);
  if (digits.IsZero() || (magnitude >= 1e-5 && magnitude < 1e15)) {
    return decimal::ToPlainText(digits, ',');
  }
  // Out of the range of amounts: mantissa and exponent, "1,5E20".
  std::string text = digits.negative ? "-" : "";
  text += digits.digits.substr(0, 1);
  if (digits.digits.size() > 1) text += "," + digits.digits.substr(1);
  return text + fmt::format("E{}", digits.point - 1);
}

bool TryStrToInt(std::string_view text, int64_t& value) {
  text = TrimView(text);
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return false;
  }
  int64_t parsed = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return false;
  value = parsed;
  return true;
}

int64_t StrToIntDef(std::string_view text, int64_t fallback) {
  int64_t value = 0;
  return TryStrToInt(text, value) ? value : fallback;
}

int64_t StrToInt(std::string_view text) {
  int64_t value = 0;
  if (!TryStrToInt(text, value)) {
    throw Exception(fmt::format("'{}' não é um valor inteiro válido", text));
  }
  return value;
}

bool TryStrToFloat(std::string_view text, double& value) {
  text = TrimView(text);
  std::string normal;
  size_t pos = 0;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
    if (text[pos] == '-') normal += '-';
    ++pos;
  }
  // Mantissa: digits, "." and at most one ","; the exponent, if any, follows.
  size_t mantissa_end = pos;
  while (mantissa_end < text.size() &&
         (IsDigit(text[mantissa_end]) || text[mantissa_end] == '.' || text[mantissa_end] == ',')) {
    ++mantissa_end;
  }
  const std::string_view mantissa = text.substr(pos, mantissa_end - pos);
  const auto comma = mantissa.find(',');
  std::string_view integer = mantissa;
  std::string_view fraction;
  if (comma != std::string_view::npos) {
    integer = mantissa.substr(0, comma);
    fraction = mantissa.substr(comma + 1);
    if (fraction.find_first_of(".,") != std::string_view::npos) return false;
    if (integer.find('.') != std::string_view::npos && !ValidGrouping(integer)) return false;
  } else if (const auto dot = mantissa.find('.'); dot != std::string_view::npos) {
    integer = mantissa.substr(0, dot);
    fraction = mantissa.substr(dot + 1);
    if (fraction.find('.') != std::string_view::npos) return false;
  }
  for (const char c : integer) {
    if (c != '.') normal += c;
  }
  if (normal.empty() || normal == "-") {
    if (fraction.empty()) return false;
    normal += '0';
  }
  if (!fraction.empty()) normal += "." + std::string(fraction);

  std::string_view exponent = text.substr(mantissa_end);
  if (!exponent.empty()) {
    if (exponent.front() != 'e' && exponent.front() != 'E') return false;
    exponent.remove_prefix(1);
    if (!exponent.empty() && exponent.front() == '+') exponent.remove_prefix(1);
    const bool negative = !exponent.empty() && exponent.front() == '-';
    const std::string_view exponent_digits = exponent.substr(negative ? 1 : 0);
    if (exponent_digits.empty() ||
        exponent_digits.find_first_not_of("0123456789") != std::string_view::npos) {
      return false;
    }
    normal += "e" + std::string(exponent);
  }

  double parsed = 0.0;
  const auto result = std::from_chars(normal.data(), normal.data() + normal.size(), parsed);
  if (result.ec != std::errc() || result.ptr != normal.data() + normal.size()) return false;
  value = parsed;
  return true;
}

double StrToFloatDef(std::string_view text, double fallback) {
  double value = 0.0;
  return TryStrToFloat(text, value) ? value : fallback;
}

double StrToFloat(std::string_view text) {
  double value = 0.0;
  if (!TryStrToFloat(text, value)) {
    throw Exception(fmt::format("'{}' não é um valor numérico válido", text));
  }
  return value;
}

}  // namespace nrw
