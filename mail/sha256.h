// SHA-256 of the bytes of a document, as the manifest records it (lowercase hex).
#pragma once

#include <string>
#include <string_view>

namespace nrw::mail {

std::string Sha256Hex(std::string_view bytes);

}  // namespace nrw::mail
