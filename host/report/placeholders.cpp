#include "report/placeholders.h"

#include "nrw/format.h"

namespace nrw {
namespace {

constexpr std::string_view kExpressao = "@var(";

// Position of the ")" that closes an expression whose arguments start at `from`, skipping the
// placeholders inside it; npos when there is none.
size_t FimExpressao(std::string_view text, size_t from) {
  bool in_placeholder = false;
  for (size_t i = from; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '[') in_placeholder = true;
    if (c == ']') in_placeholder = false;
    if (c == ')' && !in_placeholder) return i;
  }
  return std::string_view::npos;
}

// The pieces between ";", outside placeholders.
std::vector<std::string_view> Argumentos(std::string_view inner) {
  std::vector<std::string_view> pieces;
  bool in_placeholder = false;
  size_t start = 0;
  for (size_t i = 0; i < inner.size(); ++i) {
    const char c = inner[i];
    if (c == '[') in_placeholder = true;
    if (c == ']') in_placeholder = false;
    if (c == ';' && !in_placeholder) {
      pieces.push_back(inner.substr(start, i - start));
      start = i + 1;
    }
  }
  pieces.push_back(inner.substr(start));
  return pieces;
}

bool ComecaExpressao(std::string_view text, size_t at) {
  return at + kExpressao.size() <= text.size() &&
         SameText(text.substr(at, kExpressao.size()), kExpressao);
}

}  // namespace

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

std::string ExpandPlaceholders(std::string_view text, const PlaceholderLookup& lookup,
                               const ExpressionResolver& resolver) {
  // Expressions are cut out of the raw text before placeholders are expanded, so that a value
  // that happens to contain "@var(" is printed as it is and never evaluated.
  std::string result;
  size_t done = 0;
  for (size_t at = text.find('@'); at != std::string_view::npos; at = text.find('@', at + 1)) {
    if (at < done || !ComecaExpressao(text, at)) continue;
    const size_t args = at + kExpressao.size();
    const size_t close = FimExpressao(text, args);
    if (close == std::string_view::npos) break;
    result += ExpandPlaceholders(text.substr(done, at - done), lookup);
    const std::vector<std::string_view> pieces = Argumentos(text.substr(args, close - args));
    std::vector<std::string> values;
    for (size_t k = 1; k < pieces.size(); ++k) {
      values.push_back(Trim(ExpandPlaceholders(pieces[k], lookup)));
    }
    result += resolver(Trim(pieces.front()), values);
    done = close + 1;
  }
  result += ExpandPlaceholders(text.substr(done), lookup);
  return result;
}

}  // namespace nrw
