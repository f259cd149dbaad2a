// Builds a report's parameter panel from its layout the way the panel host does, calling the report
// class's configuration hooks, and applies the values the user gave.
#pragma once

#include <string>
#include <vector>

#include "layout/layout.h"
#include "nrw/datetime.h"
#include "nrw/report.h"
#include "nrwhost/session.h"

namespace nrw {

//! Data types of the edit controls' field definitions (TnFieldDefinicao::TipoData).
enum class TnTipoData : int { Texto = 0, Data = 1, MesAno = 2, Ano = 3, Inteiro = 4, Decimal = 5 };

//! The default with its markers replaced: "{ano}" the current year, "{ano-N}" / "{ano+N}" years
//! before or after it, "{hoje}" today as "dd/mm/yyyy". Other text is kept.
std::string ExpandDefault(const std::string& text, TDateTime today);

//! Items with their defaults, then AntesConfigurar, the edit controls, then DepoisConfigurar, all
//! on the given instance (the panel's own instance of the report class).
void BuildPanel(const Layout& layout, TnrwBaseDll& instance, TnpqPowerParam& panel,
                TDateTime today);

//! For each value, in order: DoParamEnter, the value written and the item marked as restricting
//! the selection, DoParamChange, DoParamExit. Raises for a name the layout does not declare.
void ApplyParamSettings(const Layout& layout, const std::vector<ParamSetting>& settings,
                        TnrwBaseDll& instance, TnpqPowerParam& panel);

}  // namespace nrw
