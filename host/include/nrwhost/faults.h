// Application API: fault injection for tests of the failure paths. While a FaultScope lives, the
// host counts the statements it runs (the module's and its own) and the writes it makes to outputs
// and traces, and fails the k-th of each the way a database or a full disk would. One thread.
#pragma once

#include "nrw/api.h"

namespace nrw {

struct FaultPlan {
  //! 1-based number of the statement that fails; 0: none.
  int fail_statement = 0;
  //! 1-based number of the output write (or flush) that fails with "disco cheio"; 0: none.
  int fail_write = 0;
};

//! Installs the plan for its lifetime and counts from zero; the previous scope, if any, comes back
//! afterwards.
class NRW_API FaultScope {
 public:
  explicit FaultScope(FaultPlan plan = {});
  ~FaultScope();
  FaultScope(const FaultScope&) = delete;
  FaultScope& operator=(const FaultScope&) = delete;

  //! Statements run since the scope began (the failing one included).
  int Statements() const { return statements_; }
  //! Output writes and flushes made since the scope began (the failing one included).
  int Writes() const { return writes_; }

 private:
  friend class FaultPoints;
  FaultPlan plan_;
  int statements_ = 0;
  int writes_ = 0;
  FaultScope* previous_ = nullptr;
};

}  // namespace nrw
