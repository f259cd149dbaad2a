// The parameter panel of a report as a person would see it, described as JSON: this is how the
// panel is shown without a window.
#pragma once

#include <string>

#include "layout/layout.h"
#include "nrw/report.h"

namespace nrw {

//! For each item: name, caption, value, enabled, visible, checked, options, dictionary, and for
//! lookup items the filter its after-filter-built event produces. Report variables that the hooks
//! made are listed too, marked "variable": true.
std::string DescribePanelJson(const Layout& layout, const std::string& version,
                              const TnpqPowerParam& panel);

}  // namespace nrw
