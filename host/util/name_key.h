// Keys of names compared without regard to case (variables, parameters, layout objects, sibling
// classes): ASCII letters folded to lower case, other bytes kept.
#pragma once

#include <string>
#include <string_view>

namespace nrw {

inline std::string NameKey(std::string_view name) {
  std::string key(name);
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return key;
}

}  // namespace nrw
