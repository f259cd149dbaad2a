// The parameter panel of a report as a person would see it, built exactly as a run builds it
// (hooks included), described as JSON: this is how the panel is shown without a window.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "report/panel_builder.h"

namespace nrw {

//! For each item: name, caption, value, enabled, visible, checked, options, dictionary, and for
//! lookup items the filter its after-filter-built event produces. Report variables that the hooks
//! made are listed too, marked "variable": true.
nlohmann::json DescribePanel(const std::string& module_path, const std::string& layout_path,
                             const std::vector<ParamSetting>& settings, TDateTime today);

}  // namespace nrw
