#include "schema/schema.h"

#include <string>

namespace nrw {
namespace detail {
extern const std::string_view kEsquemaSQLite;
}

std::string_view EsquemaSQLite() { return detail::kEsquemaSQLite; }

void CriarEsquema(TnConnection& connection) {
  connection.ExecuteScript(std::string(EsquemaSQLite()));
}

}  // namespace nrw
