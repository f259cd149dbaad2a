// The values the user gives the panel, applied as a person fills the form: from top to bottom in
// the layout's order, whatever the order they were given in, each through the report class's hooks.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "layout/layout.h"
#include "nrw/report.h"
#include "nrwhost/session.h"

namespace nrw {

//! Applies the values in the layout's order: each one checked against its declaration and its edit
//! control (a date converted to "dd/mm/aaaa" from the form its editor takes), then DoParamEnter,
//! the value written and the item marked as restricting the selection, DoParamChange, DoParamExit.
//! A name given twice takes its last value. Usage errors, each naming the parameter: a name the
//! layout does not declare, a value that does not pass, a value for a parameter whose control the
//! hooks leave disabled once every value is in, a date in a short form its editor does not take
//! once every value is in, and for a run as a user a company that is not the user's.
void ApplyParamSettings(const Layout& layout, const std::vector<ParamSetting>& settings,
                        TnrwBaseDll& instance, TnpqPowerParam& panel);

//! One event of a person at the panel (RunSession::PanelEvent): a changed value is checked as
//! ApplySettings checks it; a change to a disabled item, or a value that does not pass, raises
//! UsageError naming the parameter and leaves the item as it was.
void ApplyPanelEvent(const Layout& layout, PanelEventKind kind, const std::string& name,
                     const std::optional<std::string>& value, TnrwBaseDll& instance,
                     TnpqPowerParam& panel);

}  // namespace nrw
