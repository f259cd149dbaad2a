#include "data/text_arena.h"

#include <algorithm>
#include <cstring>

namespace nrw {
namespace {

constexpr size_t kBlockBytes = 64 * 1024;

}  // namespace

std::string_view TextArena::Add(std::string_view text) {
  if (text.empty()) return {};
  if (text.size() > left_) {
    // A text longer than a block gets a block of its own; the current block keeps its room.
    const size_t size = std::max(kBlockBytes, text.size());
    blocks_.push_back({std::make_unique<char[]>(size), size});
    if (text.size() >= kBlockBytes) {
      std::memcpy(blocks_.back().bytes.get(), text.data(), text.size());
      return {blocks_.back().bytes.get(), text.size()};
    }
    free_ = blocks_.back().bytes.get();
    left_ = size;
  }
  char* at = free_;
  std::memcpy(at, text.data(), text.size());
  free_ += text.size();
  left_ -= text.size();
  return {at, text.size()};
}

void TextArena::Clear() {
  blocks_.clear();
  free_ = nullptr;
  left_ = 0;
}

}  // namespace nrw
