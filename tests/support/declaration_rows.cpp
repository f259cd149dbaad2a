#include "support/declaration_rows.h"

#include <fmt/format.h>

namespace support {
namespace {

Row Key(const Beneficiary& b) {
  return {{"CODIGOEMPRESA", b.empresa},
          {"ANOBASE", nrw::EncodeDate(b.ano, 1, 1)},
          {"TIPOINSCRBENEF", b.tipo_inscr},
          {"INSCRFEDERALBENEF", b.inscr}};
}

Row Join(Row first, const Row& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

}  // namespace

std::string Literal(const nrw::Variant& value) {
  switch (value.kind()) {
    case nrw::Variant::Kind::Null:
      return "NULL";
    case nrw::Variant::Kind::Integer:
      return std::to_string(value.AsInteger());
    case nrw::Variant::Kind::Float:
      return fmt::format("{}", value.AsFloat());
    case nrw::Variant::Kind::Date:
      return "'" + nrw::DateToISO(value.AsDate()) + "'";
    case nrw::Variant::Kind::Text:
    case nrw::Variant::Kind::Array:
      break;
  }
  std::string quoted = "'";
  for (const char c : value.AsString()) quoted += c == '\'' ? std::string("''") : std::string(1, c);
  return quoted + "'";
}

std::string InsertSql(const std::string& table, const Row& row, bool or_ignore) {
  std::string columns, values;
  for (const auto& [column, value] : row) {
    columns += (columns.empty() ? "" : ", ") + column;
    values += (values.empty() ? "" : ", ") + Literal(value);
  }
  return std::string("INSERT ") + (or_ignore ? "OR IGNORE " : "") + "INTO " + table + " (" +
         columns + ") VALUES (" + values + ");";
}

std::string Declarante(int empresa, int ano, const Row& more) {
  return InsertSql(
      "DIRFREG1",
      Join({{"CODIGOEMPRESA", empresa}, {"ANOBASE", nrw::EncodeDate(ano, 1, 1)}}, more));
}

std::string BeneficiarioRow(const Beneficiary& b, const std::string& nome, const Row& more) {
  return InsertSql("DIRFREGBENEFICIARIO", Join(Join(Key(b), {{"NOMEBENEF", nome}}), more), true);
}

std::string RegistroRow(const Beneficiary& b, int codigo, int tipo_informe, double rendimento,
                        double retido, const Row& more) {
  return InsertSql("DIRFREG2", Join(Join(Key(b), {{"CODIGORETENCAO", codigo},
                                                  {"TIPOINFORME", tipo_informe},
                                                  {"VALORRENDIMENTO", rendimento},
                                                  {"VALORRETIDO", retido}}),
                                    more));
}

std::string MesRow(const Beneficiary& b, int codigo, int mes, const Row& values) {
  return InsertSql("DIRFREG2DET",
                   Join(Join(Key(b), {{"CODIGORETENCAO", codigo}, {"MES", mes}}), values));
}

}  // namespace support
