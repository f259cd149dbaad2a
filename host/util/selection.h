// Host-internal: the panel's selection notation beyond FilterInterval. A value read from the
// database (a separator's part) is handed to the module as a selection of exactly that value.
#pragma once

#include <string>
#include <string_view>

namespace nrw {

//! The selection that stands for exactly this one value: the value itself when it reads back as
//! itself, otherwise the value between double quotes with its quotes doubled (" ", "A,B", "1..9",
//! an empty value).
std::string SelectionOfValue(std::string_view value);

}  // namespace nrw
