// UTF-16 code units of UTF-8 text, for rules that count or hash them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nrw::common {

//! The text as UTF-16 code units (characters above U+FFFF as surrogate pairs). A malformed
//! sequence gives the bits it carries, as a lenient decoder would.
std::u16string Utf16(std::string_view text);

//! The code units of the text as little-endian bytes (two per unit).
std::vector<uint8_t> Utf16LittleEndian(std::string_view text);

}  // namespace nrw::common
