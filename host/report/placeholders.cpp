#include "report/placeholders.h"

namespace nrw {

std::string ExpandPlaceholders(std::string_view text, const PlaceholderLookup& lookup) {
  if (text.find('[') == std::string_view::npos) return std::string(text);
  std::string result;
  result.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c != '[') {
      result += c;
      ++i;
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] == '[') {
      result += '[';
      i += 2;
      continue;
    }
    const size_t close = text.find(']', i + 1);
    if (close == std::string_view::npos) {
      result.append(text.substr(i));
      break;
    }
    result += lookup(text.substr(i + 1, close - i - 1));
    i = close + 1;
  }
  return result;
}

}  // namespace nrw
