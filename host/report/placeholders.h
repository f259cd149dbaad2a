// Layout texts with [NAME] placeholders: each is replaced by the value the lookup gives for NAME;
// "[[" is a literal "[", and a "[" without a closing "]" is kept as written.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace nrw {

using PlaceholderLookup = std::function<std::string(std::string_view name)>;

std::string ExpandPlaceholders(std::string_view text, const PlaceholderLookup& lookup);

}  // namespace nrw
