// A sibling data-module class stood in for by a test's own factory: the class the host had under
// that name is registered again when the guard goes, so later tests of the same binary meet the
// host's own sibling.
#pragma once

#include <string>

#include "nrwhost/settings.h"

namespace support {

class SiblingClassOverride {
 public:
  SiblingClassOverride(std::string class_name, nrw::TnDMFactory factory);
  ~SiblingClassOverride();
  SiblingClassOverride(const SiblingClassOverride&) = delete;
  SiblingClassOverride& operator=(const SiblingClassOverride&) = delete;

 private:
  std::string class_name_;
  nrw::TnDMFactory replaced_;
};

}  // namespace support
