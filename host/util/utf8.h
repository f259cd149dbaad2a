// UTF-8 to code points and back, so that the text grid counts characters, not bytes. An invalid
// byte becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace nrw {

std::u32string DecodeUtf8(std::string_view text);
void AppendUtf8(std::string& out, char32_t code_point);
//! Writes the code point as UTF-8 at out, which has room for 4 bytes; answers the end.
char* WriteUtf8(char* out, char32_t code_point);
std::string EncodeUtf8(std::u32string_view text);

}  // namespace nrw
