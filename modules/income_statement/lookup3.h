// Bob Jenkins' lookup3 hash, byte-wise form (hashlittle), as the separator combinations use it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace income_statement {

uint32_t hashlittle(const void* key, size_t length, uint32_t initval);

}  // namespace income_statement
