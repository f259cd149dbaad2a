// The password of a protected output, from a template with the output name's placeholders:
// "{NAME}" a parameter's value, "{NAME:digits}" only its digits, "{NAME:digits:N}" its first N
// digits ("{pBeneficiarios:digits:5}" of "123.456.789-09" is "12345"), "{NAME:digits:-N}" its last
// N.
#pragma once

#include <cstddef>
#include <string>

#include "run/output_files.h"

namespace nrw {

//! What AES-256 encryption of a PDF takes of a password: a longer one would be cut, and the
//! document would not open with the password it was given.
constexpr size_t kMaxPasswordBytes = 127;

//! Raises UsageError for an unknown name or a malformed placeholder, Exception for a password that
//! comes out empty or longer than kMaxPasswordBytes (a document nobody could open is never
//! written).
std::string ExpandPassword(const std::string& pattern, const PatternLookup& lookup);

//! The bytes of the template outside its placeholders: the least its passwords take.
size_t LiteralPasswordBytes(const std::string& pattern);

}  // namespace nrw
