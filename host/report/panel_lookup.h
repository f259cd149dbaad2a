// The candidate values of a panel item's lookup, as a picker lists them while the person types.
#pragma once

#include <string>
#include <vector>

#include "nrwhost/session.h"
#include "report/panel_describe.h"

namespace nrw {

//! Runs the lookup's statement on the default connection and keeps the rows whose value or text
//! holds text (case-insensitive; text of digits alone also matches the value's digits, so that
//! "763506" finds "763.506.569-62"), at most limit of them, in the statement's order.
std::vector<LookupCandidate> ListLookup(const PanelLookup& lookup, const std::string& text,
                                        size_t limit);

}  // namespace nrw
