#include <fmt/core.h>

#include <cctype>
#include <optional>

#include "nrw/core.h"
#include "nrw/format.h"

namespace nrw {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Width and precision count characters, not bytes: UTF-8 continuation bytes do not count.
size_t CharacterCount(std::string_view text) {
  size_t count = 0;
  for (const char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  return count;
}

std::string FirstCharacters(std::string_view text, size_t count) {
  size_t seen = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      if (seen == count) return std::string(text.substr(0, i));
      ++seen;
    }
  }
  return std::string(text);
}

// One "%[index:][-][width][.precision]type" marker.
struct Specifier {
  std::optional<size_t> index;
  bool left_justify = false;
  std::optional<size_t> width;
  std::optional<size_t> precision;
  char type = 0;
};

class PatternReader {
 public:
  explicit PatternReader(std::string_view pattern) : pattern_(pattern) {}

  //! Reads the marker after its '%'; pos is left after the type letter.
  Specifier ReadSpecifier(size_t& pos) const {
    Specifier spec;
    std::optional<size_t> number = ReadNumber(pos);
    if (number && pos < pattern_.size() && pattern_[pos] == ':') {
      spec.index = number;
      ++pos;
      number.reset();
    }
    if (!number && pos < pattern_.size() && pattern_[pos] == '-') {
      spec.left_justify = true;
      ++pos;
    }
    spec.width = number ? number : ReadNumber(pos);
    if (pos < pattern_.size() && pattern_[pos] == '.') {
      ++pos;
      spec.precision = ReadNumber(pos).value_or(0);
    }
    if (pos >= pattern_.size()) {
      throw Exception(fmt::format("Formato '{}' incompleto: falta o tipo após '%'", pattern_));
    }
    spec.type = static_cast<char>(std::tolower(static_cast<unsigned char>(pattern_[pos++])));
    return spec;
  }

 private:
  std::optional<size_t> ReadNumber(size_t& pos) const {
    if (pos >= pattern_.size() || !IsDigit(pattern_[pos])) return std::nullopt;
    size_t value = 0;
    while (pos < pattern_.size() && IsDigit(pattern_[pos])) {
      if (value > 100'000) {
        throw Exception(fmt::format("Formato '{}': número grande demais", pattern_));
      }
      value = value * 10 + static_cast<size_t>(pattern_[pos++] - '0');
    }
    return value;
  }

  std::string_view pattern_;
};

std::string ZeroPadded(int64_t value, size_t digits) {
  std::string text = IntToStr(value);
  const size_t sign = value < 0 ? 1 : 0;
  if (text.size() - sign < digits) text.insert(sign, digits - (text.size() - sign), '0');
  return text;
}

std::string Convert(std::string_view pattern, const Specifier& spec, const Variant& arg) {
  switch (spec.type) {
    case 's': {
      const std::string text = arg.AsString();
      return spec.precision ? FirstCharacters(text, *spec.precision) : text;
    }
    case 'd':
      return ZeroPadded(arg.AsInteger(), spec.precision.value_or(0));
    case 'x':
      return fmt::format("{:0{}X}", static_cast<uint64_t>(arg.AsInteger()),
                         spec.precision.value_or(0));
    case 'f':
    case 'n': {
      const std::string decimals(spec.precision.value_or(2), '0');
      const std::string mask =
          (spec.type == 'n' ? "#,##0" : "0") + (decimals.empty() ? std::string() : "." + decimals);
      return FormatFloat(mask, arg.AsFloat());
    }
    default:
      throw Exception(
          fmt::format("Formato '{}': especificador '%{}' inválido", pattern, spec.type));
  }
}

}  // namespace

std::string Format(std::string_view pattern, const std::vector<Variant>& args) {
  const PatternReader reader(pattern);
  std::string out;
  size_t next_arg = 0;
  size_t pos = 0;
  while (pos < pattern.size()) {
    const auto percent = pattern.find('%', pos);
    if (percent == std::string_view::npos) {
      out.append(pattern.substr(pos));
      break;
    }
    out.append(pattern.substr(pos, percent - pos));
    pos = percent + 1;
    if (pos < pattern.size() && pattern[pos] == '%') {
      out += '%';
      ++pos;
      continue;
    }
    const Specifier spec = reader.ReadSpecifier(pos);
    // A numbered marker also moves the sequence: a plain "%s" after "%1:s" takes argument 2.
    const size_t index = spec.index.value_or(next_arg);
    next_arg = index + 1;
    if (index >= args.size()) {
      throw Exception(
          fmt::format("Formato '{}': falta o argumento {} (há {})", pattern, index, args.size()));
    }
    std::string text = Convert(pattern, spec, args[index]);
    const size_t length = CharacterCount(text);
    if (spec.width && length < *spec.width) {
      const std::string padding(*spec.width - length, ' ');
      text = spec.left_justify ? text + padding : padding + text;
    }
    out += text;
  }
  return out;
}

}  // namespace nrw
