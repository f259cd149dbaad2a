// Host-internal: the places where a FaultScope may fail an operation. Each call counts one
// operation and answers whether it must fail.
#pragma once

namespace nrw {

class FaultPoints {
 public:
  //! Before a statement runs.
  static bool FailStatement() noexcept;
  //! Before each write or flush of an output.
  static bool FailWrite() noexcept;
};

}  // namespace nrw
