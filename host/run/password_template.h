// The password of a protected output, from a template with the output name's placeholders:
// "{NAME}" a parameter's value, "{NAME:digits}" only its digits, "{NAME:digits:N}" its first N
// digits ("{pBeneficiarios:digits:5}" of "123.456.789-09" is "12345"), "{NAME:digits:-N}" its last
// N.
#pragma once

#include <string>

#include "run/output_files.h"

namespace nrw {

//! Raises UsageError for an unknown name or a malformed placeholder, Exception for a password that
//! comes out empty (a document nobody could open is never written).
std::string ExpandPassword(const std::string& pattern, const PatternLookup& lookup);

}  // namespace nrw
