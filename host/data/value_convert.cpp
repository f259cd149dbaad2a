#include "data/value_convert.h"

#include <fmt/format.h>

#include <cmath>
#include <cstdint>

#include "nrw/core.h"
#include "nrw/format.h"

namespace nrw {

namespace {

bool ReadDigits(std::string_view text, size_t& at, size_t count, int& out) {
  if (at + count > text.size()) return false;
  int value = 0;
  for (size_t i = 0; i < count; ++i) {
    const char c = text[at + i];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  at += count;
  out = value;
  return true;
}

bool Expect(std::string_view text, size_t& at, char c) {
  if (at >= text.size() || text[at] != c) return false;
  ++at;
  return true;
}

std::optional<Variant> IntegerFromFloat(double value) {
  // 2^63 is exactly representable; anything at or beyond it does not fit an int64.
  constexpr double kLimit = 9223372036854775808.0;
  if (!std::isfinite(value) || std::trunc(value) != value || value >= kLimit || value < -kLimit) {
    return std::nullopt;
  }
  return Variant(static_cast<int64_t>(value));
}

std::string DescribeValue(const Variant& value) {
  return value.kind() == Variant::Kind::Array ? "(lista)" : value.AsString();
}

}  // namespace

std::optional<TDateTime> ParseIsoDate(std::string_view text) {
  size_t at = 0;
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
  if (!ReadDigits(text, at, 4, year) || !Expect(text, at, '-') || !ReadDigits(text, at, 2, month) ||
      !Expect(text, at, '-') || !ReadDigits(text, at, 2, day)) {
    return std::nullopt;
  }
  if (at < text.size()) {
    if (text[at] != ' ' && text[at] != 'T') return std::nullopt;
    ++at;
    if (!ReadDigits(text, at, 2, hour) || !Expect(text, at, ':') ||
        !ReadDigits(text, at, 2, minute)) {
      return std::nullopt;
    }
    if (at < text.size()) {
      if (!Expect(text, at, ':') || !ReadDigits(text, at, 2, second)) return std::nullopt;
      if (at < text.size()) {
        if (!Expect(text, at, '.')) return std::nullopt;
        const size_t digits = text.size() - at;
        if (digits < 1 || digits > 3 || !ReadDigits(text, at, digits, millisecond)) {
          return std::nullopt;
        }
        for (size_t i = digits; i < 3; ++i) millisecond *= 10;
      }
    }
  }
  if (year < 1 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) ||
      hour > 23 || minute > 59 || second > 59) {
    return std::nullopt;
  }
  return EncodeDateTime(year, month, day, hour, minute, second, millisecond);
}

std::string NumberText(double value) { return fmt::format("{}", value); }

std::optional<Variant> TryConvertForField(const Variant& value, TFieldType type) {
  using Kind = Variant::Kind;
  const Kind kind = value.kind();
  if (kind == Kind::Null) return Variant();
  if (kind == Kind::Array) return std::nullopt;
  if (type != TFieldType::Text && kind == Kind::Text && Trim(value.AsString()).empty()) {
    return Variant();
  }
  switch (type) {
    case TFieldType::Integer:
      if (kind == Kind::Integer) return value;
      if (kind == Kind::Float) return IntegerFromFloat(value.AsFloat());
      if (kind == Kind::Text) {
        const std::string text = value.AsString();
        int64_t integer = 0;
        if (TryStrToInt(text, integer)) return Variant(integer);
        double real = 0;
        if (TryStrToFloat(text, real)) return IntegerFromFloat(real);
      }
      return std::nullopt;
    case TFieldType::Float:
      if (kind == Kind::Integer) return Variant(static_cast<double>(value.AsInteger()));
      if (kind == Kind::Float) return value;
      if (kind == Kind::Text) {
        double real = 0;
        if (TryStrToFloat(value.AsString(), real)) return Variant(real);
      }
      return std::nullopt;
    case TFieldType::Date:
      if (kind == Kind::Date) return value;
      if (kind == Kind::Integer) return Variant(TDateTime(static_cast<double>(value.AsInteger())));
      if (kind == Kind::Float) return Variant(TDateTime(value.AsFloat()));
      if (kind == Kind::Text) {
        if (auto date = TryStrToDate(value.AsString())) return Variant(*date);
      }
      return std::nullopt;
    case TFieldType::Text:
      if (kind == Kind::Text) return value;
      if (kind == Kind::Integer) return Variant(std::to_string(value.AsInteger()));
      if (kind == Kind::Float) return Variant(NumberText(value.AsFloat()));
      if (kind == Kind::Date) return Variant(DateToISO(value.AsDate()));
      return std::nullopt;
  }
  return std::nullopt;
}

Variant ConvertForField(const Variant& value, TFieldType type, const std::string& field_name) {
  if (auto converted = TryConvertForField(value, type)) return std::move(*converted);
  throw Exception(
      fmt::format("Valor '{}' inválido para o campo '{}'.", DescribeValue(value), field_name));
}

}  // namespace nrw
