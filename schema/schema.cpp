#include "schema/schema.h"

#include <string>

namespace nrw {
namespace detail {
extern const std::string_view kEsquemaSQLite;
extern const std::string_view kEstatisticasSQLite;
}  // namespace detail

std::string_view EsquemaSQLite() { return detail::kEsquemaSQLite; }

std::string_view EstatisticasSQLite() { return detail::kEstatisticasSQLite; }

void CriarEsquema(TnConnection& connection) {
  connection.ExecuteScript(std::string(EsquemaSQLite()));
  connection.ExecuteScript(std::string(EstatisticasSQLite()));
}

}  // namespace nrw
