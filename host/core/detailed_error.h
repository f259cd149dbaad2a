// Host-internal: an error whose message is one Portuguese line for the user and whose detail (the
// database's own message, the statement, the system's text) is kept for the trace and --verbose.
#pragma once

#include <string>
#include <utility>

#include "nrw/core.h"

namespace nrw {

class DetailedError : public Exception {
 public:
  DetailedError(const std::string& message, std::string detail)
      : Exception(message), detail_(std::move(detail)) {}
  const std::string& Detail() const { return detail_; }

 private:
  std::string detail_;
};

}  // namespace nrw
