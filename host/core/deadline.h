// Host-internal: the moment the current TimeLimit passes (nrwhost/time_limit.h), for the places
// that wait or loop long (statements, the engine's sections) to stop at.
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace nrw {

class Deadline {
 public:
  using Clock = std::chrono::steady_clock;
  //! When the limit passes; nothing without a limit.
  static std::optional<Clock::time_point> End() noexcept;
  static bool Passed() noexcept;
  //! Raises the time limit's error (detail: what was running) when the limit has passed.
  static void Check(const std::string& detail = {});
  //! Raises the time limit's error.
  [[noreturn]] static void Raise(const std::string& detail = {});
};

}  // namespace nrw
