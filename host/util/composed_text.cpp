#include "util/composed_text.h"

#include <uninorm.h>
#include <unistr.h>

#include <cstdlib>
#include <memory>

namespace nrw {
namespace {

struct FreeDeleter {
  void operator()(uint8_t* bytes) const { std::free(bytes); }
};

// Code points below U+0300 are all stable under NFC, and their UTF-8 lead bytes stay below 0xCC:
// the texts of a report, Portuguese names and amounts, rarely need the normalizer at all.
bool MayChange(const std::string& text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0xCC) return true;
  }
  return false;
}

}  // namespace

std::string ComposedText(std::string text) {
  if (!MayChange(text)) return text;
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  if (u8_check(bytes, text.size()) != nullptr) return text;
  size_t length = 0;
  const std::unique_ptr<uint8_t, FreeDeleter> composed(
      u8_normalize(UNINORM_NFC, bytes, text.size(), nullptr, &length));
  if (!composed) return text;
  return std::string(reinterpret_cast<const char*>(composed.get()), length);
}

}  // namespace nrw
