#include "layout/placeholders.h"

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

bool IsBlank(const std::string& text) {
  return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

// What the placeholders of a text (or of a group) gave.
struct Found {
  bool placeholder = false;
  bool value = false;  // a value that is not blank
};

// Expands text up to the end or, inside a group, up to its closing brace; answers where it stopped.
size_t ExpandPart(std::string_view text, size_t i, bool in_group, const PlaceholderLookup& lookup,
                  std::string& out, Found& found) {
  while (i < text.size()) {
    const char c = text[i];
    const bool doubled = i + 1 < text.size() && text[i + 1] == c;
    if ((c == '[' || c == '{') && doubled) {
      out += c;
      i += 2;
    } else if (c == '[') {
      const size_t close = text.find(']', i + 1);
      if (close == std::string_view::npos) {
        out.append(text.substr(i));
        return text.size();
      }
      const std::string value = lookup(text.substr(i + 1, close - i - 1));
      found.placeholder = true;
      found.value = found.value || !IsBlank(value);
      out += value;
      i = close + 1;
    } else if (c == '{' && text.find('}', i + 1) != std::string_view::npos) {
      std::string group;
      Found inside;
      i = ExpandPart(text, i + 1, true, lookup, group, inside);
      if (inside.value || !inside.placeholder) out += group;
      found.placeholder = found.placeholder || inside.placeholder;
      found.value = found.value || inside.value;
    } else if (c == '}' && in_group) {
      return i + 1;
    } else {
      out += c;
      ++i;
    }
  }
  return i;
}

}  // namespace

std::string ExpandPlaceholders(std::string_view text, const PlaceholderLookup& lookup) {
  // Two single-byte searches: a search for either of two bytes tests every byte against the set.
  if (text.find('[') == std::string_view::npos && text.find('{') == std::string_view::npos) {
    return std::string(text);
  }
  std::string result;
  result.reserve(text.size());
  Found found;
  ExpandPart(text, 0, false, lookup, result, found);
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
