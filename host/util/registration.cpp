#include <algorithm>
#include <string>

#include "nrw/format.h"
#include "nrw/util.h"

namespace nrw {
namespace {

// The digits right-aligned into the '0' positions of the pattern.
std::string FillDigits(std::string digits, std::string_view pattern) {
  const size_t wanted = static_cast<size_t>(std::count(pattern.begin(), pattern.end(), '0'));
  if (digits.size() > wanted) digits.erase(0, digits.size() - wanted);
  digits.insert(0, wanted - digits.size(), '0');
  std::string out;
  size_t next = 0;
  for (const char c : pattern) out += c == '0' ? digits[next++] : c;
  return out;
}

bool IsAlphanumeric(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsMaskPlaceholder(char c) { return c == '0' || c == '9' || c == '#' || c == 'A' || c == 'L'; }

}  // namespace

std::string FormatarInscrFederal(TnTipoInscrFederal kind, std::string_view number) {
  const std::string digits = LimparStrToInteger(number);
  if (digits.empty()) return {};
  switch (kind) {
    case TnTipoInscrFederal::tifCPF:
      return FillDigits(digits, "000.000.000-00");
    case TnTipoInscrFederal::tifCNPJ:
      return FillDigits(digits, "00.000.000/0000-00");
    case TnTipoInscrFederal::tifCEI:
      return FillDigits(digits, "00.000.00000/00");
  }
  return digits;  // a kind without punctuation of its own
}

std::string FormatarInscrFederal(TnTipoInscrFederal kind, std::string_view number, bool flag) {
  return FormatarInscrFederal(kind, number);
}

std::string FormatarConteudoMascara(std::string_view text, std::string_view mask, int length) {
  if (length >= 0 && static_cast<size_t>(length) < mask.size()) mask = mask.substr(0, length);
  std::string content;
  for (const char c : text) {
    if (IsAlphanumeric(c)) content += c;
  }
  std::string out;
  size_t next = 0;
  for (size_t i = 0; i < mask.size() && next < content.size(); ++i) {
    const char c = mask[i];
    // Edit-mask directives of stored masks: ';' starts the storage options, '!', '<' and '>' only
    // steer input, '\' makes the next character literal.
    if (c == ';') break;
    if (c == '!' || c == '<' || c == '>') continue;
    if (c == '\\' && i + 1 < mask.size()) {
      out += mask[++i];
    } else if (IsMaskPlaceholder(c)) {
      out += content[next++];
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace nrw
