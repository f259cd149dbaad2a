#include "support/paths.h"

namespace support {

std::string SourcePath(const std::string& relative) {
  return std::string(NRW_SOURCE_DIR) + "/" + relative;
}

std::string ModulePath(const std::string& name) {
  return std::string(NRW_MODULE_DIR) + "/" + name + ".so";
}

std::string TestModulePath(const std::string& name) {
  return std::string(NRW_TEST_MODULE_DIR) + "/" + name + ".so";
}

std::string LayoutPath(const std::string& name) { return SourcePath("layouts/" + name + ".json"); }

}  // namespace support
