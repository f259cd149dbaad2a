#include "arguments.h"

#include <fmt/format.h>

#include "nrwhost/files.h"

namespace nrw::cli {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

std::string Shown(std::string_view text) {
  constexpr size_t kEnd = 40;
  if (text.size() <= 2 * kEnd + 3) return std::string(text);
  size_t head = kEnd;
  while (head > 0 && IsContinuationByte(text[head])) --head;
  size_t tail = text.size() - kEnd;
  while (tail < text.size() && IsContinuationByte(text[tail])) ++tail;
  return std::string(text.substr(0, head)) + "..." + std::string(text.substr(tail));
}

void CheckArgumentLengths(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument(argv[i]);
    if (argument.size() <= kMaxArgumentBytes) continue;
    std::string what = "o argumento " + Shown(argument);
    if (argument.front() == '-') {
      what = "a opção " + Shown(argument.substr(0, argument.find('=')));
    } else if (i > 1 && argv[i - 1][0] == '-' && std::string_view(argv[i - 1]).size() < 64) {
      what = "o valor de " + std::string(argv[i - 1]);
    }
    throw UsageError(fmt::format("{} é longo demais ({} bytes; o limite é {}).", what,
                                 argument.size(), kMaxArgumentBytes));
  }
}

int64_t WholeNumber(const std::string& option, const std::string& text, int64_t min, int64_t max) {
  const auto refuse = [&] {
    return UsageError(
        fmt::format("{}: '{}' não é um número inteiro de {} a {}.", option, Shown(text), min, max));
  };
  if (text.empty() || text.size() > 18) throw refuse();
  int64_t value = 0;
  for (const char c : text) {
    if (!IsDigit(c)) throw refuse();
    value = value * 10 + (c - '0');
  }
  if (value < min || value > max) throw refuse();
  return value;
}

std::chrono::seconds Duration(const std::string& option, const std::string& text) {
  std::string digits = text;
  int64_t unit = 1;
  if (!digits.empty() && !IsDigit(digits.back())) {
    switch (digits.back()) {
      case 's':
        break;
      case 'm':
        unit = 60;
        break;
      case 'h':
        unit = 3600;
        break;
      default:
        digits.clear();
    }
    if (!digits.empty()) digits.pop_back();
  }
  // A year of seconds is beyond any run; anything longer is a typing slip.
  constexpr int64_t kLongest = 366 * 24 * 3600;
  bool valid = !digits.empty() && digits.size() <= 9;
  int64_t count = 0;
  for (const char c : digits) {
    valid = valid && IsDigit(c);
    if (valid) count = count * 10 + (c - '0');
  }
  if (!valid || count * unit > kLongest) {
    throw UsageError(option + ": '" + Shown(text) +
                     "' não é um tempo (use segundos, como 90, ou 30m, 2h; 0 para nenhum limite).");
  }
  return std::chrono::seconds(count * unit);
}

}  // namespace nrw::cli
