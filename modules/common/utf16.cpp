#include "common/utf16.h"

namespace nrw::common {

std::u16string Utf16(std::string_view text) {
  std::u16string out;
  for (size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    uint32_t code = byte;
    size_t extra = 0;
    if (byte >= 0xF0) {
      code = byte & 0x07;
      extra = 3;
    } else if (byte >= 0xE0) {
      code = byte & 0x0F;
      extra = 2;
    } else if (byte >= 0xC0) {
      code = byte & 0x1F;
      extra = 1;
    }
    for (size_t j = 1; j <= extra && i + j < text.size(); ++j) {
      code = (code << 6) | (static_cast<unsigned char>(text[i + j]) & 0x3F);
    }
    i += extra + 1;
    if (code >= 0x10000) {
      code -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(code));
    }
  }
  return out;
}

std::vector<uint8_t> Utf16LittleEndian(std::string_view text) {
  const std::u16string units = Utf16(text);
  std::vector<uint8_t> bytes;
  bytes.reserve(units.size() * 2);
  for (const char16_t unit : units) {
    bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<uint8_t>(unit >> 8));
  }
  return bytes;
}

}  // namespace nrw::common
