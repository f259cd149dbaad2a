#include <cmath>

#include "nrw/core.h"
#include "nrw/format.h"
#include "nrw/util.h"
#include "util/decimal.h"

namespace nrw {
namespace {

std::string TextLiteral(std::string_view text) {
  std::string literal = "'";
  for (const char c : text) {
    literal += c;
    if (c == '\'') literal += '\'';
  }
  return literal + "'";
}

std::string FloatLiteral(double value) {
  if (!std::isfinite(value)) throw Exception("Valor numérico inválido para SQL");
  return decimal::ToPlainText(decimal::FromDouble(value), '.');
}

std::string DateLiteral(TDateTime date) { return TextLiteral(DateToISO(date)); }

}  // namespace

std::string ValorParaSQL(const Variant& value) {
  switch (value.kind()) {
    case Variant::Kind::Null:
      return "NULL";
    case Variant::Kind::Integer:
      return IntToStr(value.AsInteger());
    case Variant::Kind::Float:
      return FloatLiteral(value.AsFloat());
    case Variant::Kind::Text:
      return TextLiteral(value.AsString());
    case Variant::Kind::Date:
      return DateLiteral(value.AsDate());
    case Variant::Kind::Array:
      break;
  }
  throw Exception("Conversão inválida de matriz");
}

std::string ValorParaSQL(const Variant& value, TFieldType type) {
  if (value.IsNull()) return "NULL";
  switch (type) {
    case TFieldType::Integer:
      return IntToStr(value.AsInteger());
    case TFieldType::Float:
      return FloatLiteral(value.AsFloat());
    case TFieldType::Text:
      return TextLiteral(value.AsString());
    case TFieldType::Date:
      return DateLiteral(value.AsDate());
  }
  throw Exception("Tipo de campo desconhecido");
}

std::string ValorParaFiltro(const Variant& value, TFieldType type) {
  return ValorParaSQL(value, type);
}

}  // namespace nrw
