#include "support/sibling_class.h"

#include <utility>

namespace support {

SiblingClassOverride::SiblingClassOverride(std::string class_name, nrw::TnDMFactory factory)
    : class_name_(std::move(class_name)),
      replaced_(nrw::RegistrarClasseDM(class_name_, std::move(factory))) {}

SiblingClassOverride::~SiblingClassOverride() {
  nrw::RegistrarClasseDM(class_name_, std::move(replaced_));
}

}  // namespace support
