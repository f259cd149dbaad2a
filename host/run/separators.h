// Report bursting: the separators chosen for a run become the panel's active separators; the
// panel's separator-SQL event may rewrite each listing statement; the candidate values of all
// separators combine (cartesian product, first separator outermost) into the parts of the run.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "layout/layout.h"
#include "nrw/report.h"
#include "nrwhost/session.h"

namespace nrw {

class TnReportEngine;

//! "select distinct <fields> from <table> [where <filter>] order by <fields>".
std::string DefaultSeparatorSql(const TnSeparadorItem& separator);

//! Puts the layout's separators of the given parameters on the panel, active, in the given order.
//! Raises for a parameter that has no separator in the layout, or one given twice.
void ActivateSeparators(const Layout& layout, const std::vector<std::string>& params,
                        TnpqPowerParam& panel);

//! Asks the separator-SQL event once per active separator (index from 0), then runs the statements
//! it ended with and combines their first columns' values (nulls and repeats dropped). Raises for a
//! value the main dataset's filters of its parameter cannot select.
std::vector<SeparatorPart> ListSeparatorParts(TnReportEngine& engine);

//! How a part's value reaches a selection parameter of the panel.
enum class PartText {
  //! The selection of exactly the value (SelectionOfValue): what the print filters with.
  Selection,
  //! The value as the database holds it: what the separator question compares with its list.
  Value,
};

//! Writes the part's values on the panel as restricting selections (host work, not traced).
void ApplyPart(TnReportEngine& engine, const SeparatorPart& part,
               PartText text = PartText::Selection);

}  // namespace nrw
