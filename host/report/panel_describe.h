// The parameter panel of a report as a person would see it, described without a window: as JSON for
// programs (a form built from it, `nrw panel`) and as Markdown for the user's guide. Both come from
// one description, so that they never disagree.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "layout/layout.h"
#include "nrw/datetime.h"
#include "nrw/report.h"
#include "report/panel_options.h"

namespace nrw {

//! Where a lookup lists its candidates: `select distinct t_t.<value>, t_t.<text> from <table> t_t
//! where <filter>` (the statement in sql), the filter being the module's (its after-filter-built
//! event) restricted to the current user's companies.
struct PanelLookup {
  std::string table;
  std::string value_column;
  //! Empty: the candidates have no text of their own.
  std::string text_column;
  std::string filter;
  std::string sql;
};

struct PanelItemDescription {
  std::string name;
  std::string caption;
  //! "date", "month", "year" (what the date's editor takes), "integer", "decimal", "text",
  //! "option_list", "selection"; "text" for report variables.
  std::string type;
  std::string value;
  //! The default as the panel starts with it (markers expanded), and as the layout writes it.
  std::string default_value;
  std::string layout_default;
  std::string dictionary;
  bool enabled = true;
  bool visible = true;
  bool checked = false;
  //! The layout offers a separator for it: the run can be split by its values.
  bool split = false;
  //! A report variable the hooks made, not a parameter of the layout.
  bool variable = false;
  //! Integers and decimals: the values accepted.
  std::optional<double> min;
  std::optional<double> max;
  std::vector<PanelOption> options;
  std::optional<PanelLookup> lookup;
};

struct PanelDescription {
  std::string report;
  std::string title;
  std::string version;
  std::vector<PanelItemDescription> items;
};

//! The panel's items in their order. Lookups are restricted by the current user's companies, asked
//! of the default connection (only when a user is set).
PanelDescription DescribePanel(const Layout& layout, const std::string& version,
                               const TnpqPowerParam& panel, TDateTime today);

//! {"report", "version", "items": [{name, caption, type, value, default, enabled, visible,
//! checked, range: {min, max} or null, options: [{value, text}], split, dictionary, lookup or null,
//! and "variable": true for report variables}]}.
std::string PanelJson(const PanelDescription& description);

//! The parameters (not the variables) as a Markdown section in Portuguese: a table of name,
//! caption, type, accepted values, default (as the layout writes it) and whether it splits.
std::string PanelMarkdown(const PanelDescription& description);

}  // namespace nrw
