#include <cmath>
#include <string>
#include <vector>

#include "nrw/format.h"
#include "util/decimal.h"

namespace nrw {
namespace {

constexpr char kThousands = '.';
constexpr char kDecimal = ',';

bool IsPlaceholder(char c) { return c == '0' || c == '#'; }

// One element of the number part of a mask: a digit placeholder or literal text between them.
struct MaskItem {
  bool is_placeholder = false;
  bool required = false;  // '0'
  std::string literal;
};

// A mask section taken apart: literal prefix, integer and fraction placeholders, literal suffix.
struct NumberMask {
  std::string prefix;
  std::vector<MaskItem> integer;
  std::vector<MaskItem> fraction;
  std::string suffix;
  bool grouping = false;
  bool has_placeholders = false;
};

// Splits at ';' outside quotes: positive; negative; zero.
std::vector<std::string_view> Sections(std::string_view mask) {
  std::vector<std::string_view> sections;
  size_t start = 0;
  char quote = 0;
  for (size_t i = 0; i < mask.size(); ++i) {
    const char c = mask[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == ';') {
      sections.push_back(mask.substr(start, i - start));
      start = i + 1;
    }
  }
  sections.push_back(mask.substr(start));
  return sections;
}

NumberMask ParseMask(std::string_view section) {
  // Units: a quoted string is one literal unit, any other character one unit of its own.
  struct Unit {
    char symbol = 0;  // the character, or 0 for a quoted literal
    std::string text;
  };
  std::vector<Unit> units;
  for (size_t i = 0; i < section.size(); ++i) {
    const char c = section[i];
    if (c == '\'' || c == '"') {
      const auto close = section.find(c, i + 1);
      const size_t end = close == std::string_view::npos ? section.size() : close;
      units.push_back({0, std::string(section.substr(i + 1, end - i - 1))});
      i = end;
    } else {
      units.push_back({c, std::string(1, c)});
    }
  }

  // The number part runs from the first placeholder (or a decimal point just before one) to the
  // last placeholder; what lies outside is copied as it is.
  size_t first = units.size();
  size_t last = 0;
  for (size_t i = 0; i < units.size(); ++i) {
    if (IsPlaceholder(units[i].symbol)) {
      if (first == units.size()) first = i;
      last = i;
    }
  }
  NumberMask mask;
  if (first == units.size()) {
    for (const Unit& unit : units) mask.prefix += unit.text;
    return mask;
  }
  mask.has_placeholders = true;
  if (first > 0 && units[first - 1].symbol == '.') --first;
  for (size_t i = 0; i < first; ++i) mask.prefix += units[i].text;
  for (size_t i = last + 1; i < units.size(); ++i) mask.suffix += units[i].text;

  bool in_fraction = false;
  for (size_t i = first; i <= last; ++i) {
    const Unit& unit = units[i];
    auto& items = in_fraction ? mask.fraction : mask.integer;
    if (IsPlaceholder(unit.symbol)) {
      items.push_back({true, unit.symbol == '0', {}});
    } else if (unit.symbol == '.' && !in_fraction) {
      in_fraction = true;
    } else if (unit.symbol == ',' && !in_fraction) {
      mask.grouping = true;
    } else {
      items.push_back({false, false, unit.text});
    }
  }
  return mask;
}

int CountPlaceholders(const std::vector<MaskItem>& items) {
  int count = 0;
  for (const MaskItem& item : items) count += item.is_placeholder ? 1 : 0;
  return count;
}

// Integer part: digits fill the placeholders from the right; digits beyond the placeholders go
// in front; a literal between placeholders shows only when digits stand on its left.
std::string FormatIntegerPart(const NumberMask& mask, const std::string& digits) {
  const size_t count = digits.size();
  std::vector<std::string> pieces;  // right to left
  size_t k = 0;
  auto emit_digit = [&] {
    if (mask.grouping && k > 0 && k % 3 == 0) pieces.emplace_back(1, kThousands);
    pieces.emplace_back(1, digits[count - 1 - k]);
    ++k;
  };
  for (auto item = mask.integer.rbegin(); item != mask.integer.rend(); ++item) {
    if (item->is_placeholder) {
      if (k < count) emit_digit();
    } else if (k < count) {
      pieces.push_back(item->literal);
    }
  }
  while (k < count) emit_digit();
  std::string text;
  for (auto piece = pieces.rbegin(); piece != pieces.rend(); ++piece) text += *piece;
  return text;
}

std::string FormatFractionPart(const NumberMask& mask, const std::string& digits) {
  std::string text;
  size_t j = 0;
  for (const MaskItem& item : mask.fraction) {
    if (j >= digits.size()) break;
    if (item.is_placeholder) {
      text += digits[j++];
    } else {
      text += item.literal;
    }
  }
  return text;
}

std::string FormatSection(std::string_view section, const decimal::Decimal& value, bool with_sign) {
  const NumberMask mask = ParseMask(section);
  const int max_decimals = CountPlaceholders(mask.fraction);
  int min_decimals = 0;
  int min_integer = 0;
  {
    int position = 0;
    for (const MaskItem& item : mask.fraction) {
      if (!item.is_placeholder) continue;
      ++position;
      if (item.required) min_decimals = position;
    }
    bool seen_required = false;
    for (const MaskItem& item : mask.integer) {
      if (!item.is_placeholder) continue;
      seen_required = seen_required || item.required;
      if (seen_required) ++min_integer;
    }
  }

  const decimal::Decimal rounded = decimal::Round(value, max_decimals);
  std::string integer_digits = decimal::IntegerDigits(rounded);
  if (static_cast<int>(integer_digits.size()) < min_integer) {
    integer_digits.insert(0, min_integer - integer_digits.size(), '0');
  }
  std::string fraction_digits = decimal::FractionDigits(rounded, max_decimals);
  while (static_cast<int>(fraction_digits.size()) > min_decimals && fraction_digits.back() == '0') {
    fraction_digits.pop_back();
  }

  std::string text;
  if (with_sign && rounded.negative && !rounded.IsZero()) text += '-';
  text += mask.prefix;
  if (mask.has_placeholders) {
    text += FormatIntegerPart(mask, integer_digits);
    if (!fraction_digits.empty()) {
      text += kDecimal;
      text += FormatFractionPart(mask, fraction_digits);
    }
  }
  text += mask.suffix;
  return text;
}

bool RoundsToZero(std::string_view section, const decimal::Decimal& value) {
  return decimal::Round(value, CountPlaceholders(ParseMask(section).fraction)).IsZero();
}

std::string FormatDecimal(std::string_view mask, const decimal::Decimal& value) {
  const std::vector<std::string_view> sections = Sections(mask);
  if (sections.size() >= 3 && !sections[2].empty() && RoundsToZero(sections[0], value)) {
    return FormatSection(sections[2], decimal::Decimal{}, false);
  }
  if (value.negative && sections.size() >= 2 && !sections[1].empty()) {
    decimal::Decimal magnitude = value;
    magnitude.negative = false;
    return FormatSection(sections[1], magnitude, false);
  }
  return FormatSection(sections[0], value, true);
}

}  // namespace

std::string FormatFloat(std::string_view mask, double value) {
  if (!std::isfinite(value) || mask.empty()) return FloatToStr(value);
  return FormatDecimal(mask, decimal::FromDouble(value));
}

std::string FormatInteger(std::string_view mask, int64_t value) {
  if (mask.empty()) return IntToStr(value);
  return FormatDecimal(mask, decimal::FromInteger(value));
}

}  // namespace nrw
