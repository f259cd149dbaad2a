// TextArena: the bytes of a store's texts, in blocks that never move, so that a text cell is
// a view (pointer and length) instead of a string of its own. Owned by its store; views stay valid
// until the arena is cleared or destroyed.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace nrw {

class TextArena {
 public:
  TextArena() = default;
  TextArena(TextArena&&) noexcept = default;
  TextArena& operator=(TextArena&&) noexcept = default;
  TextArena(const TextArena&) = delete;
  TextArena& operator=(const TextArena&) = delete;

  //! A copy of the text held by the arena.
  std::string_view Add(std::string_view text);
  //! Forgets every text (their views become invalid).
  void Clear();
  //! Bytes the blocks take.
  size_t Bytes() const;

 private:
  struct Block {
    std::unique_ptr<char[]> bytes;
    size_t size = 0;
  };
  std::vector<Block> blocks_;
  char* free_ = nullptr;
  size_t left_ = 0;
};

}  // namespace nrw
