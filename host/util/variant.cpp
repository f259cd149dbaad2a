#include "nrw/variant.h"

#include <fmt/core.h>

#include <cmath>

#include "nrw/core.h"
#include "nrw/format.h"

namespace nrw {
namespace {

constexpr const char* kArrayConversion = "Conversão inválida de matriz";

// Round half to even, the rule of the contract's float-to-integer conversion.
int64_t FloatToInteger(double value) {
  // -2^63 and 2^63 are exact doubles; NaN fails both comparisons.
  if (!(value >= -9223372036854775808.0 && value < 9223372036854775808.0)) {
    throw Exception(fmt::format("'{}' está fora da faixa dos valores inteiros", FloatToStr(value)));
  }
  return static_cast<int64_t>(std::nearbyint(value));
}

}  // namespace

int64_t Variant::AsInteger() const {
  switch (kind()) {
    case Kind::Null:
      return 0;
    case Kind::Integer:
      return std::get<int64_t>(v_);
    case Kind::Float:
      return FloatToInteger(std::get<double>(v_));
    case Kind::Text:
      return StrToInt(std::get<std::string>(v_));
    case Kind::Date:
      return FloatToInteger(std::get<TDateTime>(v_).value);
    case Kind::Array:
      break;
  }
  throw Exception(kArrayConversion);
}

double Variant::AsFloat() const {
  switch (kind()) {
    case Kind::Null:
      return 0.0;
    case Kind::Integer:
      return static_cast<double>(std::get<int64_t>(v_));
    case Kind::Float:
      return std::get<double>(v_);
    case Kind::Text:
      return StrToFloat(std::get<std::string>(v_));
    case Kind::Date:
      return std::get<TDateTime>(v_).value;
    case Kind::Array:
      break;
  }
  throw Exception(kArrayConversion);
}

std::string Variant::AsString() const {
  switch (kind()) {
    case Kind::Null:
      return {};
    case Kind::Integer:
      return IntToStr(std::get<int64_t>(v_));
    case Kind::Float:
      return FloatToStr(std::get<double>(v_));
    case Kind::Text:
      return std::get<std::string>(v_);
    case Kind::Date:
      return DateTimeToStr(std::get<TDateTime>(v_));
    case Kind::Array:
      break;
  }
  throw Exception(kArrayConversion);
}

TDateTime Variant::AsDate() const {
  switch (kind()) {
    case Kind::Null:
      return TDateTime();
    case Kind::Integer:
      return TDateTime(static_cast<double>(std::get<int64_t>(v_)));
    case Kind::Float:
      return TDateTime(std::get<double>(v_));
    case Kind::Text:
      return StrToDate(std::get<std::string>(v_));
    case Kind::Date:
      return std::get<TDateTime>(v_);
    case Kind::Array:
      break;
  }
  throw Exception(kArrayConversion);
}

size_t Variant::size() const {
  if (IsNull()) return 0;
  if (kind() != Kind::Array) throw Exception("O valor não é uma matriz");
  return std::get<std::vector<Variant>>(v_).size();
}

const Variant& Variant::operator[](size_t i) const {
  static const Variant kNull;
  if (IsNull()) return kNull;
  if (kind() != Kind::Array) throw Exception("O valor não é uma matriz");
  const auto& items = std::get<std::vector<Variant>>(v_);
  if (i >= items.size()) {
    throw Exception(
        fmt::format("Índice {} fora dos limites da matriz (tamanho {})", i, items.size()));
  }
  return items[i];
}

}  // namespace nrw
