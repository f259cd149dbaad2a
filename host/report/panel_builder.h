// Builds a report's parameter panel from its layout the way the panel host does, calling the report
// class's configuration hooks.
#pragma once

#include <string>

#include "layout/layout.h"
#include "nrw/datetime.h"
#include "nrw/report.h"
#include "report/editor_values.h"

namespace nrw {

//! The default with its markers replaced: "{ano}" the current year, "{ano-N}" / "{ano+N}" years
//! before or after it, "{hoje}" today as "dd/mm/yyyy". Other text is kept.
std::string ExpandDefault(const std::string& text, TDateTime today);

//! The data type an edit control of the parameter starts with.
TnTipoData TipoDataOf(const LayoutParam& param);

//! Items with their defaults, then AntesConfigurar, the edit controls, then DepoisConfigurar, all
//! on the given instance (the panel's own instance of the report class).
void BuildPanel(const Layout& layout, TnrwBaseDll& instance, TnpqPowerParam& panel,
                TDateTime today);

}  // namespace nrw
