#include "schema/schema.h"

#include <regex>
#include <string>
#include <vector>

#include "nrw/core.h"

namespace nrw {
namespace detail {
extern const std::string_view kEsquemaSQLite;
extern const std::string_view kEsquemaPostgreSQL;
}  // namespace detail

std::string_view EsquemaSQLite() { return detail::kEsquemaSQLite; }
std::string_view EsquemaPostgreSQL() { return detail::kEsquemaPostgreSQL; }

std::string_view EsquemaDe(const TnConnection& connection) {
  return connection.Dialect() == TnDialect::kPostgreSQL ? EsquemaPostgreSQL() : EsquemaSQLite();
}

void CriarEsquema(TnConnection& connection) {
  connection.ExecuteScript(std::string(EsquemaDe(connection)));
}

bool EsquemaPresente(TnConnection& connection) {
  try {
    connection.Prepare("SELECT 1 FROM EMPRESA WHERE 1 = 0")->Fetch({});
    return true;
  } catch (const Exception&) {
    return false;
  }
}

void RemoverEsquema(TnConnection& connection) {
  static const std::regex created(R"(CREATE (TABLE|VIEW) (\w+))");
  const std::string script(EsquemaDe(connection));
  std::vector<std::string> views, tables;
  for (std::sregex_iterator it(script.begin(), script.end(), created), end; it != end; ++it) {
    ((*it)[1] == "VIEW" ? views : tables).push_back((*it)[2]);
  }
  // Views first: they depend on the tables.
  std::string drops;
  for (const std::string& view : views) drops += "DROP VIEW IF EXISTS " + view + ";\n";
  for (const std::string& table : tables) drops += "DROP TABLE IF EXISTS " + table + ";\n";
  connection.ExecuteScript(drops);
}

}  // namespace nrw
