// The parameters of a host sibling data module, read from its own panel. A value that does not
// convert raises an error that names the sibling and the parameter, so that the user knows what to
// correct. Borrows the panel; holds nothing else.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "nrw/datetime.h"
#include "nrw/report.h"

namespace nrw {

class SiblingParams {
 public:
  SiblingParams(std::string sibling, TnpqPowerParam& params)
      : sibling_(std::move(sibling)), params_(params) {}

  //! The value as given.
  std::string Text(std::string_view name) const;
  //! An integer (surrounding blanks ignored).
  int64_t Integer(std::string_view name) const;
  //! An integer between minimum and maximum.
  int64_t Integer(std::string_view name, int64_t minimum, int64_t maximum) const;
  //! An integer, or blank_value when the text is blank.
  int64_t IntegerOrBlank(std::string_view name, int64_t blank_value) const;
  TDateTime Date(std::string_view name) const;
  //! A selection of codes in the panel's notation ("1..99;120"), trimmed; empty selects all.
  std::string Selection(std::string_view name) const;
  //! A selection's predicate on the columns, led by " and " (empty for an empty selection).
  std::string Filter(std::string_view name, const std::string& selection,
                     const std::string& column) const;

  [[noreturn]] void Fail(std::string_view name, const std::string& what) const;

 private:
  std::string sibling_;
  TnpqPowerParam& params_;
};

}  // namespace nrw
