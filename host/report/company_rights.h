// The current user's company rights over the panel (DefinirUsuarioAtual, USUARIOEMPRESA): what a
// company selection of a run as a user may name, and the values the host writes into them so that
// every statement, the module's and the host's own, reads only the user's companies.
#pragma once

#include <string>

#include "layout/layout.h"
#include "nrw/report.h"

namespace nrw {

//! Whether the item selects companies: a declared selection parameter whose dictionary entry is the
//! company code.
bool SelectsCompanies(const Layout& layout, const TnpqParamItem& item);

//! For a run as a user, every single company the selection names must be one of the user's; one
//! that is not is a usage error naming the parameter and the company. Without a user, nothing.
void CheckUserCompanies(const std::string& param, const std::string& selection);

//! For a run as a user, before anything is read: a user without companies may print nothing (a
//! usage error), and every company selection of the panel selects only the user's companies and
//! restricts the selection. An empty one takes all of them (those of the processing group the panel
//! names, when it names one); one with ranges keeps the user's companies within them (a usage error
//! when there is none); one of the user's single codes stays as it is. Without a user, nothing.
void ConfineToUserCompanies(const Layout& layout, TnpqPowerParam& panel);

}  // namespace nrw
