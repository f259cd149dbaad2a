#include "render/sheet_cell.h"

#include <charconv>
#include <optional>

#include "nrw/datetime.h"

namespace nrw {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

// The digits of a whole part "1.234.567" (groups of three after the first) or "1234567".
std::optional<std::string> WholeDigits(std::string_view whole) {
  std::string digits;
  size_t group = 0;
  bool grouped = false;
  for (const char c : whole) {
    if (c == '.') {
      // The first group holds one to three digits, every later one exactly three.
      if (group == 0 || group > 3 || (grouped && group != 3)) return std::nullopt;
      grouped = true;
      group = 0;
    } else if (IsDigit(c)) {
      digits += c;
      ++group;
    } else {
      return std::nullopt;
    }
  }
  if (group == 0 || (grouped && group != 3)) return std::nullopt;
  return digits;
}

// "-1.234,56" as sign, whole digits and decimal digits.
struct Number {
  bool negative = false;
  std::string whole;
  std::string fraction;
};

std::optional<Number> ReadNumber(std::string_view text, bool with_fraction) {
  Number number;
  if (!text.empty() && text.front() == '-') {
    number.negative = true;
    text.remove_prefix(1);
  }
  const size_t comma = text.find(',');
  if (comma != std::string_view::npos) {
    if (!with_fraction) return std::nullopt;
    number.fraction = std::string(text.substr(comma + 1));
    if (number.fraction.empty()) return std::nullopt;
    for (const char c : number.fraction) {
      if (!IsDigit(c)) return std::nullopt;
    }
    text = text.substr(0, comma);
  }
  std::optional<std::string> whole = WholeDigits(text);
  if (!whole) return std::nullopt;
  number.whole = std::move(*whole);
  return number;
}

std::optional<double> ValueOf(const Number& number) {
  std::string c_text = number.negative ? "-" : "";
  c_text += number.whole;
  if (!number.fraction.empty()) c_text += "." + number.fraction;
  double value = 0;
  const auto [end, error] = std::from_chars(c_text.data(), c_text.data() + c_text.size(), value);
  if (error != std::errc() || end != c_text.data() + c_text.size()) return std::nullopt;
  return value;
}

// "31/12/2023" or "12/2023": the digits in place and a real calendar day.
std::optional<TDateTime> ReadDate(std::string_view text, bool& month) {
  const auto digits_at = [&](size_t from, size_t count) {
    for (size_t i = from; i < from + count; ++i) {
      if (!IsDigit(text[i])) return false;
    }
    return true;
  };
  if (text.size() == 10 && text[2] == '/' && text[5] == '/' && digits_at(0, 2) && digits_at(3, 2) &&
      digits_at(6, 4)) {
    month = false;
    return TryStrToDate(text);
  }
  if (text.size() == 7 && text[2] == '/' && digits_at(0, 2) && digits_at(3, 4)) {
    month = true;
    return TryStrToDate("01/" + std::string(text));
  }
  return std::nullopt;
}

}  // namespace

CellValue ReadCell(std::string_view printed, CellKind kind) {
  CellValue cell;
  cell.text = std::string(Trimmed(printed));
  if (cell.text.empty()) return cell;
  switch (kind) {
    case CellKind::Amount:
    case CellKind::Integer: {
      const std::optional<Number> number = ReadNumber(cell.text, kind == CellKind::Amount);
      if (!number) break;
      const std::optional<double> value = ValueOf(*number);
      if (!value) break;
      cell.kind = kind;
      cell.number = *value;
      cell.decimals = static_cast<int>(number->fraction.size());
      break;
    }
    case CellKind::Date:
      if (const std::optional<TDateTime> day = ReadDate(cell.text, cell.month)) {
        cell.kind = CellKind::Date;
        cell.number = day->value;
      }
      break;
    case CellKind::Text:
      break;
  }
  if (cell.kind == CellKind::Text) cell.month = false;
  return cell;
}

std::string PlainNumber(const CellValue& value) {
  std::string plain;
  for (const char c : value.text) {
    if (c != '.') plain += c;
  }
  return plain;
}

}  // namespace nrw
