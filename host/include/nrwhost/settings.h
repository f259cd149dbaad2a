// Application API: the host's settings that modules read (connection type, current user) and the
// sibling data-module classes it offers by name. All of it is global state of the host: set it
// from the thread that runs the reports, between runs. A host that runs reports side by side runs
// them in processes of their own, each with its own settings.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "nrw/api.h"
#include "nrw/core.h"

namespace nrw {

//! The connection type PegarTipoCon answers (0 unless set).
NRW_API void DefinirTipoCon(int tipo);
//! The current user, whose companies PegarCodigoEmpresaDireitoUsuario answers (none: every
//! company).
NRW_API void DefinirUsuarioAtual(std::optional<int> user);

using TnDMFactory = std::function<std::unique_ptr<TObject>()>;

//! Registers a sibling class by name for CriarDM; safe to call again (the last factory wins).
//! Answers the factory it replaced (empty when the name was free), so that a caller that stands
//! in for a class can give the name back.
NRW_API TnDMFactory RegistrarClasseDM(const std::string& class_name, TnDMFactory factory);

}  // namespace nrw
