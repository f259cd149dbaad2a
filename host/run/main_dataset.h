// The report's main dataset from the layout: its statement with the selection filters of the
// parameters that restrict the selection put in place of "{filtros}", and its named parameters
// bound from the panel's values of the same name, converted by each parameter's declared type.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "layout/dataset_statement.h"
#include "layout/layout.h"
#include "nrw/report.h"
#include "nrw/variant.h"

namespace nrw {

class TnReportEngine;

//! The statement with the marker replaced by the FilterInterval conjuncts (led by "and") of the
//! filters whose parameter is checked.
std::string MainDatasetSql(const Layout& layout, const TnpqPowerParam& panel);
//! Any statement with the marker replaced as in MainDatasetSql (a separator's listing); a layout
//! without a main dataset's filters takes those of its handed datasets.
std::string WithSelectionFilters(const Layout& layout, const TnpqPowerParam& panel,
                                 std::string sql);
//! One value per name; empty texts bind null. Raises for a value that does not convert.
std::vector<Variant> MainDatasetValues(const Layout& layout, const TnpqPowerParam& panel,
                                       const std::vector<std::string>& names);
//! Runs the statement (outside the trace: it is the host's) and makes it the report's main
//! dataset. A layout without a statement leaves the main dataset as it is.
void OpenMainDataSet(TnReportEngine& engine);

}  // namespace nrw
