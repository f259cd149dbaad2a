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
  //! Before each output of a commit takes its target's place. For the tests that kill a whole
  //! process in the middle of a commit: when the environment's NRW_FAULT_KILL_AT_PLACEMENT is N,
  //! the process kills itself (SIGKILL) before its N-th placement.
  static void BeforePlacement() noexcept;
};

}  // namespace nrw
