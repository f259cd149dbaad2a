#include <algorithm>
#include <cmath>

#include "nrw/format.h"
#include "nrw/util.h"
#include "util/decimal.h"

namespace nrw {

double RoundValor(double value, int decimals) {
  if (!std::isfinite(value)) return value;
  const double rounded = decimal::ToDouble(decimal::Round(decimal::FromDouble(value), decimals));
  return rounded == 0.0 ? 0.0 : rounded;  // no negative zero
}

std::string Space(int count) { return std::string(count > 0 ? count : 0, ' '); }

bool InStrArray(std::string_view value, const std::vector<std::string>& array) {
  return std::find(array.begin(), array.end(), value) != array.end();
}

bool InIntArray(int64_t value, const std::vector<int64_t>& array) {
  return std::find(array.begin(), array.end(), value) != array.end();
}

std::string LimparStrToInteger(std::string_view text) {
  std::string digits;
  for (const char c : text) {
    if (c >= '0' && c <= '9') digits += c;
  }
  return digits;
}

std::string TemDados(std::string_view prefix, std::string_view text, std::string_view suffix) {
  if (text.empty()) return {};
  std::string joined(prefix);
  joined += text;
  joined += suffix;
  return joined;
}

std::string Capitalize(std::string_view text) {
  std::string out(text);
  if (out.empty()) return out;
  const auto first = static_cast<unsigned char>(out[0]);
  if (first >= 'a' && first <= 'z') {
    out[0] = static_cast<char>(first - 'a' + 'A');
  } else if (first == 0xC3 && out.size() > 1) {
    // U+00E0..U+00FE (à..þ, not ÷) are the lower case of U+00C0..U+00DE: "é" 0xC3 0xA9 -> 0xC3
    // 0x89.
    const auto second = static_cast<unsigned char>(out[1]);
    if (second >= 0xA0 && second <= 0xBE && second != 0xB7)
      out[1] = static_cast<char>(second - 0x20);
  }
  return out;
}

std::vector<std::string> SplitString(std::string_view text, char separator) {
  std::vector<std::string> pieces;
  size_t start = 0;
  while (true) {
    const auto end = text.find(separator, start);
    if (end == std::string_view::npos) {
      pieces.emplace_back(text.substr(start));
      return pieces;
    }
    pieces.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
}

bool BitLigado(std::string_view text, int bit) {
  int64_t value = 0;
  if (bit < 0 || bit > 63 || !TryStrToInt(text, value)) return false;
  return ((static_cast<uint64_t>(value) >> bit) & 1U) != 0;
}

}  // namespace nrw
