// Application API: a limit on the time a command's work may take. While a TimeLimit lives, a
// statement still running when the limit passes is interrupted (SQLite) or given up on (PostgreSQL,
// also a server that stopped answering), and the report engine stops at its next section; the run
// then fails with a message that names the limit, its temporary files removed and earlier outputs
// as they were. One thread.
#pragma once

#include <chrono>
#include <optional>

#include "nrw/api.h"

namespace nrw {

class NRW_API TimeLimit {
 public:
  //! Starts counting now; zero: no limit. The previous limit, if any, comes back afterwards.
  explicit TimeLimit(std::chrono::seconds limit);
  ~TimeLimit();
  TimeLimit(const TimeLimit&) = delete;
  TimeLimit& operator=(const TimeLimit&) = delete;

 private:
  std::optional<std::chrono::steady_clock::time_point> previous_end_;
  std::chrono::seconds previous_limit_{0};
};

}  // namespace nrw
