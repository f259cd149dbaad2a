// Host-internal: SHA-256 of what a run writes (the manifest's hashes), through libcrypto.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace nrw {

class Sha256 {
 public:
  Sha256();
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  void Update(const void* data, size_t size);
  //! Lower-case hex of the digest; the hash starts over afterwards.
  std::string HexDigest();

 private:
  struct Context;
  std::unique_ptr<Context> context_;
};

//! Lower-case hex SHA-256 of the bytes.
std::string Sha256Hex(std::string_view bytes);

}  // namespace nrw
