// Scope guards the modules use so that clean-up runs on every exit path.
#pragma once

#include <exception>
#include <utility>
#include <vector>

#include "nrw/dataset.h"
#include "nrw/variant.h"

namespace nrw {

//! Restricts a dataset to a key range for the guard's lifetime; the range is cancelled on every
//! exit path.
class RangeGuard {
 public:
  RangeGuard(TnClientDataSet& dataset, const std::vector<Variant>& start,
             const std::vector<Variant>& end)
      : dataset_(dataset) {
    dataset.SetRange(start, end);
  }
  //! Both ends the same key.
  RangeGuard(TnClientDataSet& dataset, const std::vector<Variant>& key)
      : RangeGuard(dataset, key, key) {}
  ~RangeGuard() { dataset_.CancelRange(); }
  RangeGuard(const RangeGuard&) = delete;
  RangeGuard& operator=(const RangeGuard&) = delete;

 private:
  TnClientDataSet& dataset_;
};

//! Runs a clean-up when the scope ends, whatever the path, and never ends the process. The clean-up
//! may raise: leaving the scope normally, its error reaches the caller (from Run(), or from the
//! destructor when Run() was not called); leaving by an error, the clean-up still runs and the
//! error in flight wins, the clean-up's own being dropped. Several guards in one scope run in
//! reverse order, each also when an earlier one raised, and the first error wins. A local of a
//! function only: as a member of a class its destructor could raise inside another destructor.
template <class F>
class ScopeExit {
 public:
  explicit ScopeExit(F f) : f_(std::move(f)), errors_at_start_(std::uncaught_exceptions()) {}
  ~ScopeExit() noexcept(false) {
    if (done_) return;
    done_ = true;
    if (std::uncaught_exceptions() > errors_at_start_) {
      try {
        f_();
      } catch (...) {  // NOLINT(bugprone-empty-catch): the error in flight is the one reported
      }
      return;
    }
    f_();
  }
  //! Runs the clean-up now, once; its error reaches the caller.
  void Run() {
    if (done_) return;
    done_ = true;
    f_();
  }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  F f_;
  int errors_at_start_;
  bool done_ = false;
};

}  // namespace nrw
