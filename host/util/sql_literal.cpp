#include "util/sql_literal.h"

#include <fmt/format.h>

#include <cmath>

#include "nrw/core.h"
#include "nrw/format.h"
#include "nrw/sql.h"
#include "nrw/util.h"
#include "nrwhost/database.h"
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
  if (!std::isfinite(value)) {
    throw Exception(fmt::format("O valor {} não pode ser escrito em SQL.", value));
  }
  std::string text = decimal::ToPlainText(decimal::FromDouble(value), '.');
  if (text.find('.') == std::string::npos) text += ".0";
  return text;
}

// The value as the field type asks for it ("12" as Integer gives 12; a date text as Date).
Variant Converted(const Variant& value, TFieldType type) {
  switch (type) {
    case TFieldType::Integer:
      return Variant(value.AsInteger());
    case TFieldType::Float:
      return Variant(value.AsFloat());
    case TFieldType::Text:
      return Variant(value.AsString());
    case TFieldType::Date:
      return Variant(value.AsDate());
  }
  throw Exception("Tipo de campo desconhecido");
}

}  // namespace

std::string StandardSqlLiteral(const Variant& value) {
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
      return TextLiteral(DateToISO(value.AsDate()));
    case Variant::Kind::Array:
      break;
  }
  throw Exception("Uma lista de valores não pode ser escrita como um literal SQL.");
}

std::string ValorParaSQL(const Variant& value) {
  if (const TnConnection* connection = TnConnection::Default()) return connection->Literal(value);
  return StandardSqlLiteral(value);
}

std::string ValorParaSQL(const Variant& value, TFieldType type) {
  if (value.IsNull()) return "NULL";
  return ValorParaSQL(Converted(value, type));
}

std::string ValorParaFiltro(const Variant& value, TFieldType type) {
  return ValorParaSQL(value, type);
}

}  // namespace nrw
