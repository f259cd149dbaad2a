// Text placed inside HTML or XML (the HTML output, the archival PDF's XMP metadata).
#pragma once

#include <string>
#include <string_view>

namespace nrw {

//! The text with &, <, > and " written as entities.
std::string MarkupEscaped(std::string_view text);

}  // namespace nrw
