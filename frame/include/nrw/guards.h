// Scope guards the modules use so that clean-up runs on every exit path.
#pragma once

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

//! Runs a function when the scope ends, whatever the path.
template <class F>
class ScopeExit {
 public:
  explicit ScopeExit(F f) : f_(std::move(f)) {}
  ~ScopeExit() { f_(); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  F f_;
};

}  // namespace nrw
