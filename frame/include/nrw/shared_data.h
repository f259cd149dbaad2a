// Connection settings and the shared SQL data module of the host. The settings and the default
// connection they read are global state of the host, read and set from its one thread.
#pragma once

#include <optional>
#include <string>

#include "nrw/api.h"
#include "nrw/variant.h"

namespace nrw {

//! Connection type of the host (a setting; 0 unless configured).
NRW_API int PegarTipoCon();
//! Selection text of the companies the current user may see (USUARIOEMPRESA). No user configured:
//! empty (every company). A user with no company: "0", which no company code matches.
NRW_API std::string PegarCodigoEmpresaDireitoUsuario();
//! The selection widened by the companies of a processing group (GRUPOEMPRESA) that the current
//! user may see; group 0 keeps it. The flag is the application's and is accepted and ignored.
NRW_API std::string EmpresasGrupoCalculo(int group, const std::string& selection, bool /*flag*/);
//! "select <fields> from <table> where <condition>": one field gives its value, several an array;
//! no row gives null.
NRW_API Variant PegarValorCampo(const std::string& table, const std::string& fields,
                                const std::string& condition);

}  // namespace nrw
