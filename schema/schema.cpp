#include "schema/schema.h"

#include <string>

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

}  // namespace nrw
