// What the loader and the run both read in a layout's statements: the marker where the selection
// filters go and the named parameters a statement binds.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nrw {

inline constexpr std::string_view kFiltrosMarker = "{filtros}";

//! Distinct named parameters of a statement, in order of first appearance, as first written.
std::vector<std::string> MainDatasetParamNames(const std::string& sql);

}  // namespace nrw
