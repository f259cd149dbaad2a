#include "core/deadline.h"

#include <fmt/format.h>

#include "core/detailed_error.h"
#include "nrwhost/time_limit.h"

namespace nrw {
namespace {

struct Current {
  std::optional<Deadline::Clock::time_point> end;
  std::chrono::seconds limit{0};
};

Current& Limit() noexcept {
  static Current current;
  return current;
}

// "90s", "30min", "6h", "1h30min": the limit as the user would write it.
std::string Spoken(std::chrono::seconds limit) {
  const long long total = limit.count();
  const long long hours = total / 3600;
  const long long minutes = total % 3600 / 60;
  const long long seconds = total % 60;
  std::string text;
  if (hours > 0) text += fmt::format("{}h", hours);
  if (minutes > 0) text += fmt::format("{}min", minutes);
  if (seconds > 0 || text.empty()) text += fmt::format("{}s", seconds);
  return text;
}

}  // namespace

std::optional<Deadline::Clock::time_point> Deadline::End() noexcept { return Limit().end; }

bool Deadline::Passed() noexcept {
  const Current& current = Limit();
  return current.end && Clock::now() >= *current.end;
}

void Deadline::Check(const std::string& detail) {
  if (Passed()) Raise(detail);
}

void Deadline::Raise(const std::string& detail) {
  throw DetailedError("A execução passou do tempo limite de " + Spoken(Limit().limit) +
                          " (--tempo-limite) e foi interrompida.",
                      detail);
}

TimeLimit::TimeLimit(std::chrono::seconds limit)
    : previous_end_(Limit().end), previous_limit_(Limit().limit) {
  Current& current = Limit();
  current.limit = limit;
  current.end.reset();
  if (limit.count() > 0) current.end = Deadline::Clock::now() + limit;
}

TimeLimit::~TimeLimit() {
  Current& current = Limit();
  current.end = previous_end_;
  current.limit = previous_limit_;
}

}  // namespace nrw
