#include "core/fault_points.h"

#include "nrwhost/faults.h"

namespace nrw {
namespace {

FaultScope*& Current() {
  static FaultScope* current = nullptr;
  return current;
}

}  // namespace

FaultScope::FaultScope(FaultPlan plan) : plan_(plan), previous_(Current()) { Current() = this; }

FaultScope::~FaultScope() { Current() = previous_; }

bool FaultPoints::FailStatement() noexcept {
  FaultScope* scope = Current();
  if (scope == nullptr) return false;
  return ++scope->statements_ == scope->plan_.fail_statement;
}

bool FaultPoints::FailWrite() noexcept {
  FaultScope* scope = Current();
  if (scope == nullptr) return false;
  return ++scope->writes_ == scope->plan_.fail_write;
}

}  // namespace nrw
