#include "run/parts_ahead.h"

#include <algorithm>
#include <utility>

#include "sql/connection_key.h"

namespace nrw {
namespace {

std::vector<Variant> ValuesOf(const SeparatorPart& part) {
  std::vector<Variant> values;
  values.reserve(part.values.size() + part.row.size());
  for (const auto& [name, value] : part.values) values.emplace_back(value);
  for (const auto& [column, value] : part.row) values.push_back(value);
  return values;
}

}  // namespace

PartsAhead::PartsAhead(const std::vector<SeparatorPart>& parts, std::vector<size_t> printed)
    : parts_(parts), printed_(std::move(printed)), connection_(TnConnection::Default()) {}

PartsAhead::~PartsAhead() {
  if (connection_ == nullptr) return;
  try {
    StatementHost::PartsAhead(*connection_, {});
  } catch (...) {
    // Ending the parts only lets go of what was sent ahead.
  }
}

void PartsAhead::Begin(size_t index) {
  if (connection_ == nullptr) return;
  // The window slides: the parts passed leave it, one more part comes in for each.
  size_t passed = 0;
  while (next_ < printed_.size() && printed_[next_] != index) {
    ++next_;
    ++passed;
  }
  if (window_.empty()) passed = 0;
  window_.erase(window_.begin(), window_.begin() + std::min(passed, window_.size()));
  while (window_.size() < kWindow && next_ + window_.size() < printed_.size()) {
    window_.push_back(ValuesOf(parts_[printed_[next_ + window_.size()]]));
  }
  StatementHost::PartsAhead(*connection_, window_);
}

}  // namespace nrw
