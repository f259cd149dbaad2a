// Random bytes from the kernel's generator, for session ids, CSRF tokens and password salts.
#pragma once

#include <cstddef>
#include <string>

namespace nrw::server {

//! count random bytes (getrandom); raises std::runtime_error when the kernel gives none.
std::string RandomBytes(size_t count);
//! count random bytes as lower-case hex (2 * count characters).
std::string RandomHex(size_t count);
//! Whether a and b are equal, in a time that depends on their lengths only.
bool ConstantTimeEqual(const std::string& a, const std::string& b);

}  // namespace nrw::server
