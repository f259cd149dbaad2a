#include "data/text_arena.h"

#include <algorithm>
#include <cstring>

namespace nrw {
namespace {

// Blocks grow from small (a one-row result holds a few names) to large (a year's rows).
constexpr size_t kFirstBlockBytes = 512;
constexpr size_t kMaxBlockBytes = 64 * 1024;

}  // namespace

std::string_view TextArena::Add(std::string_view text) {
  if (text.empty()) return {};
  if (text.size() > left_) {
    const size_t grown =
        blocks_.empty() ? kFirstBlockBytes : std::min(kMaxBlockBytes, blocks_.back().size * 2);
    const size_t size = std::max(grown, text.size());
    blocks_.push_back({std::make_unique_for_overwrite<char[]>(size), size});
    free_ = blocks_.back().bytes.get();
    left_ = size;
  }
  char* at = free_;
  std::memcpy(at, text.data(), text.size());
  free_ += text.size();
  left_ -= text.size();
  return {at, text.size()};
}

size_t TextArena::Bytes() const {
  size_t bytes = 0;
  for (const Block& block : blocks_) bytes += block.size;
  return bytes;
}

void TextArena::Clear() {
  blocks_.clear();
  free_ = nullptr;
  left_ = 0;
}

}  // namespace nrw
