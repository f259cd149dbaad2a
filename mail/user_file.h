// Reading a whole file the user named (a manifest, an address file, a message): only a regular
// file, only up to a size such a file may sanely have, opened without blocking so that a FIFO or
// a link to a device never holds nrw send nor fills its memory.
#pragma once

#include <cstddef>
#include <string>

namespace nrw::mail {

//! The file's content. Raises InputError "<what> <path>: <why>." when it cannot be opened, is not
//! a regular file or is larger than max_bytes.
std::string ReadUserFile(const std::string& path, const std::string& what, size_t max_bytes);

}  // namespace nrw::mail
