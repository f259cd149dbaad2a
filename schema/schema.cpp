#include "schema/schema.h"

#include <regex>
#include <string>
#include <vector>

#include "nrw/core.h"

namespace nrw {
namespace detail {
extern const std::string_view kEsquemaSQLite;
extern const std::string_view kEsquemaPostgreSQL;
extern const std::string_view kEstatisticasSQLite;
}  // namespace detail

std::string_view EsquemaSQLite() { return detail::kEsquemaSQLite; }
std::string_view EsquemaPostgreSQL() { return detail::kEsquemaPostgreSQL; }

std::string_view EsquemaDe(const TnConnection& connection) {
  return connection.Dialect() == TnDialect::kPostgreSQL ? EsquemaPostgreSQL() : EsquemaSQLite();
}

std::string_view EstatisticasSQLite() { return detail::kEstatisticasSQLite; }

void CriarEsquema(TnConnection& connection) {
  connection.ExecuteScript(std::string(EsquemaDe(connection)));
  if (connection.Dialect() == TnDialect::kSQLite) {
    connection.ExecuteScript(std::string(EstatisticasSQLite()));
  }
}

bool EsquemaPresente(TnConnection& connection) {
  try {
    connection.Prepare("SELECT 1 FROM EMPRESA WHERE 1 = 0")->Open({});
    return true;
  } catch (const Exception&) {
    return false;
  }
}

namespace {

struct Objetos {
  std::vector<std::string> tables;
  std::vector<std::string> views;
};

Objetos ObjetosDoEsquema(const TnConnection& connection) {
  static const std::regex created(R"(CREATE (TABLE|VIEW) (\w+))");
  const std::string script(EsquemaDe(connection));
  Objetos objetos;
  for (std::sregex_iterator it(script.begin(), script.end(), created), end; it != end; ++it) {
    ((*it)[1] == "VIEW" ? objetos.views : objetos.tables).push_back((*it)[2]);
  }
  return objetos;
}

}  // namespace

void RemoverEsquema(TnConnection& connection) {
  const auto [tables, views] = ObjetosDoEsquema(connection);
  // Views first: they depend on the tables.
  std::string drops;
  for (const std::string& view : views) drops += "DROP VIEW IF EXISTS " + view + ";\n";
  for (const std::string& table : tables) drops += "DROP TABLE IF EXISTS " + table + ";\n";
  connection.ExecuteScript(drops);
}

void AtualizarEstatisticas(TnConnection& connection) {
  // SQLite measures every table and index in place of the shipped statistics.
  if (connection.Dialect() != TnDialect::kPostgreSQL) {
    connection.ExecuteScript("ANALYZE");
    return;
  }
  std::string tables;
  for (const std::string& table : ObjetosDoEsquema(connection).tables) {
    tables += (tables.empty() ? "" : ", ") + table;
  }
  connection.ExecuteScript("ANALYZE " + tables);
}

}  // namespace nrw
