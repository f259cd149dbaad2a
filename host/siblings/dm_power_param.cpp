#include "nrw/siblings.h"
#include "util/name_key.h"

namespace nrw {

TnDMPowerParam::TnDMPowerParam() = default;

TnDMPowerParam::~TnDMPowerParam() = default;

TObject* TnDMPowerParam::FindComponent(std::string_view name) const {
  const auto found = components_.find(NameKey(name));
  return found == components_.end() ? nullptr : found->second;
}

void TnDMPowerParam::AddComponent(const std::string& name, TObject& component) {
  components_[NameKey(name)] = &component;
}

}  // namespace nrw
