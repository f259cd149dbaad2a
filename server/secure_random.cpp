#include "secure_random.h"

#include <sys/random.h>

#include <cerrno>
#include <stdexcept>

namespace nrw::server {

std::string RandomBytes(size_t count) {
  std::string bytes(count, '\0');
  size_t filled = 0;
  while (filled < count) {
    const ssize_t got = getrandom(bytes.data() + filled, count - filled, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) throw std::runtime_error("o sistema não forneceu números aleatórios");
    filled += static_cast<size_t>(got);
  }
  return bytes;
}

std::string RandomHex(size_t count) {
  static constexpr char kDigits[] = "0123456789abcdef";
  const std::string bytes = RandomBytes(count);
  std::string hex;
  hex.reserve(count * 2);
  for (const char byte : bytes) {
    hex += kDigits[(static_cast<unsigned char>(byte) >> 4) & 0xF];
    hex += kDigits[static_cast<unsigned char>(byte) & 0xF];
  }
  return hex;
}

bool ConstantTimeEqual(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  unsigned char diff = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    diff |= static_cast<unsigned char>(a[i] ^ b[i]);
  }
  return diff == 0;
}

}  // namespace nrw::server
