#include "password_hash.h"

#include <argon2.h>

#include <stdexcept>
#include <vector>

#include "secure_random.h"

namespace nrw::server {
namespace {

// 19 MiB, 2 passes, one lane: the OWASP baseline for Argon2id; a login takes some tens of ms.
constexpr uint32_t kTimeCost = 2;
constexpr uint32_t kMemoryKiB = 19 * 1024;
constexpr uint32_t kLanes = 1;
constexpr size_t kSaltBytes = 16;
constexpr size_t kHashBytes = 32;

}  // namespace

std::string HashPassword(const std::string& password) {
  const std::string salt = RandomBytes(kSaltBytes);
  const size_t length =
      argon2_encodedlen(kTimeCost, kMemoryKiB, kLanes, kSaltBytes, kHashBytes, Argon2_id);
  std::vector<char> encoded(length);
  const int status =
      argon2id_hash_encoded(kTimeCost, kMemoryKiB, kLanes, password.data(), password.size(),
                            salt.data(), salt.size(), kHashBytes, encoded.data(), encoded.size());
  if (status != ARGON2_OK) {
    throw std::runtime_error(std::string("não foi possível calcular o hash da senha: ") +
                             argon2_error_message(status));
  }
  return std::string(encoded.data());
}

bool VerifyPassword(const std::string& encoded, const std::string& password) {
  if (encoded.rfind("$argon2id$", 0) != 0) return false;
  return argon2id_verify(encoded.c_str(), password.data(), password.size()) == ARGON2_OK;
}

const std::string& DecoyHash() {
  static const std::string decoy = HashPassword(RandomHex(16));
  return decoy;
}

}  // namespace nrw::server
