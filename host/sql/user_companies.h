// Host-internal: the current user's company rights as codes, for the host's own checks (the panel's
// company selections, the separators' parts, the lookups). Read from the default connection.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace nrw {

//! The current user (DefinirUsuarioAtual); nullopt: none, and every company may be seen.
std::optional<int> CurrentUser();
//! The companies the current user may see (USUARIOEMPRESA), in code order, possibly none; nullopt
//! when no user is set.
std::optional<std::vector<int64_t>> UserCompanies();

}  // namespace nrw
