// The command line's words as the user typed them, checked and converted before any command runs.
// Each fault raises UsageError with one Portuguese line that names the option.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace nrw::cli {

//! The longest argument accepted: far beyond any path (PATH_MAX is 4096) or a selection a person
//! types, far below what would cost the parser or a message anything.
constexpr size_t kMaxArgumentBytes = 65536;

//! Raises when an argument is longer than kMaxArgumentBytes, naming it or the option it follows.
void CheckArgumentLengths(int argc, const char* const* argv);

//! A decimal whole number from min to max, nothing else (no sign, no blanks, no hexadecimal).
int64_t WholeNumber(const std::string& option, const std::string& text, int64_t min, int64_t max);

//! A length of time: "90" or "90s" seconds, "30m" minutes, "2h" hours; "0" none.
std::chrono::seconds Duration(const std::string& option, const std::string& text);

//! The text as messages show it: whole when short, otherwise its two ends around "...".
std::string Shown(std::string_view text);

}  // namespace nrw::cli
