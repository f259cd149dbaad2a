#include "util/utf8.h"

namespace nrw {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

}  // namespace

std::u32string DecodeUtf8(std::string_view text) {
  // Never more characters than bytes: written in place, cut to length at the end.
  std::u32string result(text.size(), U'\0');
  char32_t* out = result.data();
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      *out++ = lead;
      ++i;
      continue;
    }
    int extra = 0;
    char32_t code = 0;
    if ((lead & 0xE0) == 0xC0) {
      extra = 1;
      code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2;
      code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3;
      code = lead & 0x07;
    } else {
      *out++ = kReplacement;
      ++i;
      continue;
    }
    if (i + static_cast<size_t>(extra) >= text.size()) {
      *out++ = kReplacement;
      ++i;
      continue;
    }
    bool valid = true;
    for (int k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
      if ((next & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      code = (code << 6) | (next & 0x3F);
    }
    if (!valid) {
      *out++ = kReplacement;
      ++i;
      continue;
    }
    *out++ = code;
    i += static_cast<size_t>(extra) + 1;
  }
  result.resize(static_cast<size_t>(out - result.data()));
  return result;
}

char* WriteUtf8(char* out, char32_t code) {
  if (code < 0x80) {
    *out++ = static_cast<char>(code);
  } else if (code < 0x800) {
    *out++ = static_cast<char>(0xC0 | (code >> 6));
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (code >> 12));
    *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (code >> 18));
    *out++ = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t code) {
  char bytes[4];
  out.append(bytes, static_cast<size_t>(WriteUtf8(bytes, code) - bytes));
}

std::string EncodeUtf8(std::u32string_view text) {
  std::string out(text.size() * 4, '\0');
  char* end = out.data();
  for (const char32_t code : text) {
    if (code < 0x80) {
      *end++ = static_cast<char>(code);
    } else {
      end = WriteUtf8(end, code);
    }
  }
  out.resize(static_cast<size_t>(end - out.data()));
  return out;
}

}  // namespace nrw
