// Splits a fuzzer's bytes into the pieces a target needs: small numbers first, texts after.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace nrw::fuzz {

class Input {
 public:
  Input(const uint8_t* data, size_t size) : text_(reinterpret_cast<const char*>(data), size) {}

  //! One byte (0 when none is left).
  uint8_t Byte() {
    if (text_.empty()) return 0;
    const auto byte = static_cast<uint8_t>(text_.front());
    text_.remove_prefix(1);
    return byte;
  }
  //! Eight bytes as the bits of a double (0 when too few are left).
  double Double() {
    double value = 0;
    if (text_.size() < sizeof value) return value;
    std::memcpy(&value, text_.data(), sizeof value);
    text_.remove_prefix(sizeof value);
    return value;
  }
  int64_t Int64() {
    int64_t value = 0;
    if (text_.size() < sizeof value) return value;
    std::memcpy(&value, text_.data(), sizeof value);
    text_.remove_prefix(sizeof value);
    return value;
  }
  //! Text up to the next NUL byte (which is consumed), or the rest.
  std::string Text() {
    const size_t end = text_.find('\0');
    std::string text(text_.substr(0, end));
    text_.remove_prefix(end == std::string_view::npos ? text_.size() : end + 1);
    return text;
  }
  bool Empty() const { return text_.empty(); }

 private:
  std::string_view text_;
};

}  // namespace nrw::fuzz
