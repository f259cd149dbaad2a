#include "core/fault_points.h"

#include <signal.h>
#include <unistd.h>

#include <cstdlib>

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

void FaultPoints::BeforePlacement() noexcept {
  static const long kill_at = [] {
    const char* text = std::getenv("NRW_FAULT_KILL_AT_PLACEMENT");
    return text != nullptr ? std::strtol(text, nullptr, 10) : 0L;
  }();
  static long placements = 0;
  if (kill_at > 0 && ++placements == kill_at) kill(getpid(), SIGKILL);
}

bool FaultPoints::FailWrite() noexcept {
  FaultScope* scope = Current();
  if (scope == nullptr) return false;
  return ++scope->writes_ == scope->plan_.fail_write;
}

}  // namespace nrw
