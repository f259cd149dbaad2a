#include <cmath>
#include <optional>
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
// Literals are views into the mask, which outlives its parsed form.
struct MaskItem {
  bool is_placeholder = false;
  bool required = false;  // '0'
  std::string_view literal;
};

// Scientific notation: "E+00" always shows the exponent's sign, "E-00" only a minus.
struct ExponentMask {
  bool present = false;
  char letter = 'E';
  bool always_sign = false;
  int digits = 0;
};

// A mask section taken apart: literal prefix, integer and fraction placeholders, exponent,
// literal suffix. ',' anywhere turns on grouping and '.' the first time is the decimal point;
// neither is ever printed.
struct NumberMask {
  std::string prefix;
  std::vector<MaskItem> integer;
  std::vector<MaskItem> fraction;
  ExponentMask exponent;
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

// A quoted string is one literal unit; any other character a unit of its own.
struct Unit {
  char symbol = 0;  // the character, or 0 for a quoted literal
  std::string_view text;
};

std::vector<Unit> Units(std::string_view section) {
  std::vector<Unit> units;
  for (size_t i = 0; i < section.size(); ++i) {
    const char c = section[i];
    if (c == '\'' || c == '"') {
      const auto close = section.find(c, i + 1);
      const size_t end = close == std::string_view::npos ? section.size() : close;
      units.push_back({0, section.substr(i + 1, end - i - 1)});
      i = end;
    } else {
      units.push_back({c, section.substr(i, 1)});
    }
  }
  return units;
}

// "E+0", "e-00": the letter, a sign and at least one '0' right after a placeholder.
bool ExponentAt(const std::vector<Unit>& units, size_t i) {
  return i + 2 < units.size() && (units[i].symbol == 'E' || units[i].symbol == 'e') &&
         (units[i + 1].symbol == '+' || units[i + 1].symbol == '-') && units[i + 2].symbol == '0';
}

NumberMask ParseMask(std::string_view section) {
  const std::vector<Unit> units = Units(section);
  NumberMask mask;
  // Where the number part ends: the exponent, if any, closes it.
  size_t number_end = units.size();
  size_t first = units.size();
  size_t last = 0;
  size_t point = units.size();
  for (size_t i = 0; i < units.size(); ++i) {
    const char c = units[i].symbol;
    if (first != units.size() && ExponentAt(units, i)) {
      number_end = i;
      break;
    }
    if (IsPlaceholder(c)) {
      if (first == units.size()) first = i;
      last = i;
    } else if (c == '.' && point == units.size()) {
      point = i;
    } else if (c == ',') {
      mask.grouping = true;
    }
  }
  auto plain = [](const Unit& unit) { return unit.symbol != ',' && unit.symbol != '.'; };
  if (first == units.size()) {
    for (const Unit& unit : units) {
      if (plain(unit)) mask.prefix += unit.text;
    }
    return mask;
  }
  mask.has_placeholders = true;
  for (size_t i = 0; i < first; ++i) {
    if (plain(units[i])) mask.prefix += units[i].text;
  }
  for (size_t i = first; i <= last; ++i) {
    const Unit& unit = units[i];
    auto& items = i > point ? mask.fraction : mask.integer;
    if (IsPlaceholder(unit.symbol)) {
      items.push_back({true, unit.symbol == '0', {}});
    } else if (plain(unit)) {
      items.push_back({false, false, unit.text});
    }
  }
  size_t rest = last + 1;
  if (number_end != units.size()) {
    mask.exponent.present = true;
    mask.exponent.letter = units[number_end].symbol;
    mask.exponent.always_sign = units[number_end + 1].symbol == '+';
    rest = number_end + 2;
    while (rest < units.size() && units[rest].symbol == '0' && mask.exponent.digits < 4) {
      ++mask.exponent.digits;
      ++rest;
    }
    for (size_t i = last + 1; i < number_end; ++i) {
      if (plain(units[i])) mask.suffix += units[i].text;
    }
  }
  for (size_t i = rest; i < units.size(); ++i) {
    if (plain(units[i])) mask.suffix += units[i].text;
  }
  return mask;
}

int CountPlaceholders(const std::vector<MaskItem>& items) {
  int count = 0;
  for (const MaskItem& item : items) count += item.is_placeholder ? 1 : 0;
  return count;
}

// Integer part: digits fill the placeholders from the right, digits beyond the placeholders go in
// front of the first one, and literal text between placeholders always shows where it stands.
std::string FormatIntegerPart(const NumberMask& mask, const std::string& digits) {
  const int count = static_cast<int>(digits.size());
  const int placeholders = CountPlaceholders(mask.integer);
  std::string text;
  auto emit_digit = [&](int k) {  // k: digits left of this one
    text += digits[static_cast<size_t>(k)];
    const int right = count - 1 - k;
    if (mask.grouping && right > 0 && right % 3 == 0) text += kThousands;
  };
  int next = 0;      // next digit to print
  int position = 0;  // placeholders seen so far
  for (const MaskItem& item : mask.integer) {
    if (!item.is_placeholder) {
      text += item.literal;
      continue;
    }
    ++position;
    // This placeholder stands for the digit with (placeholders - position) digits on its right.
    const int digit = count - 1 - (placeholders - position);
    if (position == 1) {
      while (next < digit) emit_digit(next++);
    }
    if (digit >= 0 && digit == next) emit_digit(next++);
  }
  while (next < count) emit_digit(next++);
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

// The value as mantissa and power of ten for a scientific mask with integer_places digits before
// the decimal point, rounded to decimals.
decimal::Decimal Mantissa(decimal::Decimal value, int integer_places, int decimals, int& exponent) {
  exponent = 0;
  if (value.IsZero()) return value;
  exponent = value.point - integer_places;
  value.point = integer_places;
  value = decimal::Round(value, decimals);
  if (value.point > integer_places) {  // 9,995 rounded up to 10,00: one more power of ten
    ++exponent;
    value.point = integer_places;
  }
  return value;
}

std::string ExponentText(const ExponentMask& mask, int exponent) {
  std::string text(1, mask.letter);
  if (exponent < 0) {
    text += '-';
  } else if (mask.always_sign) {
    text += '+';
  }
  std::string digits = std::to_string(exponent < 0 ? -exponent : exponent);
  if (static_cast<int>(digits.size()) < mask.digits) {
    digits.insert(0, static_cast<size_t>(mask.digits) - digits.size(), '0');
  }
  return text + digits;
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

  int exponent = 0;
  const decimal::Decimal rounded =
      mask.exponent.present
          ? Mantissa(value, CountPlaceholders(mask.integer), max_decimals, exponent)
          : decimal::Round(value, max_decimals);
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
    if (mask.exponent.present) text += ExponentText(mask.exponent, exponent);
  }
  text += mask.suffix;
  return text;
}

bool RoundsToZero(std::string_view section, const decimal::Decimal& value) {
  return decimal::Round(value, CountPlaceholders(ParseMask(section).fraction)).IsZero();
}

// Nothing when the section that applies is an empty positive one: the general number format.
std::optional<std::string> FormatDecimal(std::string_view mask, const decimal::Decimal& value) {
  const std::vector<std::string_view> sections = Sections(mask);
  if (sections.size() >= 3 && !sections[2].empty() && RoundsToZero(sections[0], value)) {
    return FormatSection(sections[2], decimal::Decimal{}, false);
  }
  if (value.negative && sections.size() >= 2 && !sections[1].empty()) {
    decimal::Decimal magnitude = value;
    magnitude.negative = false;
    return FormatSection(sections[1], magnitude, false);
  }
  if (sections[0].empty()) return std::nullopt;
  return FormatSection(sections[0], value, true);
}

// A mask of placeholders only, "#,##0.00" or "0000": one section, no literals, no exponent,
// separators only among the integer placeholders. Most masks are such, and they format the way
// FormatSection does without taking the mask apart unit by unit.
struct PlainMask {
  bool grouping = false;
  int min_integer = 0;
  int max_decimals = 0;
  int min_decimals = 0;
};

std::optional<PlainMask> ParsePlainMask(std::string_view mask) {
  if (mask.empty() || !IsPlaceholder(mask.front()) || !IsPlaceholder(mask.back())) {
    return std::nullopt;
  }
  PlainMask plain;
  bool in_fraction = false;
  bool seen_required = false;
  for (const char c : mask) {
    if (c == '.') {
      if (in_fraction) return std::nullopt;
      in_fraction = true;
    } else if (c == ',') {
      if (in_fraction) return std::nullopt;
      plain.grouping = true;
    } else if (!IsPlaceholder(c)) {
      return std::nullopt;
    } else if (in_fraction) {
      ++plain.max_decimals;
      if (c == '0') plain.min_decimals = plain.max_decimals;
    } else {
      seen_required = seen_required || c == '0';
      if (seen_required) ++plain.min_integer;
    }
  }
  return plain;
}

std::string FormatPlain(const PlainMask& mask, const decimal::Decimal& value) {
  const decimal::Decimal rounded = decimal::Round(value, mask.max_decimals);
  std::string integer_digits = decimal::IntegerDigits(rounded);
  if (static_cast<int>(integer_digits.size()) < mask.min_integer) {
    integer_digits.insert(0, mask.min_integer - integer_digits.size(), '0');
  }
  std::string fraction_digits = decimal::FractionDigits(rounded, mask.max_decimals);
  while (static_cast<int>(fraction_digits.size()) > mask.min_decimals &&
         fraction_digits.back() == '0') {
    fraction_digits.pop_back();
  }
  std::string text;
  text.reserve(integer_digits.size() * 4 / 3 + fraction_digits.size() + 3);
  if (rounded.negative && !rounded.IsZero()) text += '-';
  const size_t count = integer_digits.size();
  for (size_t i = 0; i < count; ++i) {
    if (mask.grouping && i > 0 && (count - i) % 3 == 0) text += kThousands;
    text += integer_digits[i];
  }
  if (!fraction_digits.empty()) {
    text += kDecimal;
    text += fraction_digits;
  }
  return text;
}

std::optional<std::string> Format(std::string_view mask, const decimal::Decimal& value) {
  if (const std::optional<PlainMask> plain = ParsePlainMask(mask))
    return FormatPlain(*plain, value);
  return FormatDecimal(mask, value);
}

}  // namespace

std::string FormatFloat(std::string_view mask, double value) {
  if (!std::isfinite(value) || mask.empty()) return FloatToStr(value);
  return Format(mask, decimal::FromDouble(value)).value_or(FloatToStr(value));
}

std::string FormatInteger(std::string_view mask, int64_t value) {
  if (mask.empty()) return IntToStr(value);
  return Format(mask, decimal::FromInteger(value)).value_or(IntToStr(value));
}

}  // namespace nrw
