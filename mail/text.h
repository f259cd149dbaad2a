// Small text helpers of the mail library (ASCII case, trimming, digits, UTF-8, times).
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace nrw::mail {

std::string_view Trim(std::string_view text);
bool SameTextIgnoringCase(std::string_view a, std::string_view b);
std::string AsciiLower(std::string_view text);
//! A whole decimal integer, optionally signed.
bool ParseInteger(std::string_view text, int64_t& value);
//! Only the digits of text ("763.506.569-62" -> "76350656962").
std::string DigitsOf(std::string_view text);
bool IsValidUtf8(std::string_view text);
//! "2026-12-09T22:00:00-03:00": the local time with its offset.
std::string IsoLocalTime(std::time_t when);

}  // namespace nrw::mail
