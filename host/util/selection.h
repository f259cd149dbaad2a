// Host-internal: the panel's selection notation beyond FilterInterval. A value read from the
// database (a separator's part) is handed to the module as a selection of exactly that value.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nrw {

//! The selection that stands for exactly this one value: the value itself when it reads back as
//! itself, otherwise the value between double quotes with its quotes doubled (" ", "A,B", "1..9",
//! an empty value).
std::string SelectionOfValue(std::string_view value);

//! One element of a selection of codes: the codes from first to last (equal for a single code).
struct CodeRange {
  int64_t first = 0;
  int64_t last = 0;
  bool is_range = false;
  //! The element as the user wrote it, for messages.
  std::string source;
};

//! The elements of a selection of codes ("1;3..5"), each range with first <= last. Raises Exception
//! as FilterInterval does for a malformed selection or an element that is not a code.
std::vector<CodeRange> ParseCodeSelection(const std::string& selection);

}  // namespace nrw
