// Host-internal: the trace's view of the SQL a module sends. ExecutarSQL and RefreshSQL report
// each statement, as the module wrote it, with its values, before running it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "nrw/variant.h"

namespace nrw {

using SqlObserver = std::function<void(const std::string& sql, const std::vector<Variant>& values)>;

//! Installs the observer (an empty function removes it).
void SetSqlObserver(SqlObserver observer);
//! Reports a statement to the observer, if any.
void NotifySqlObserver(const std::string& sql, const std::vector<Variant>& values);

}  // namespace nrw
