#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "nrw/core.h"

namespace nrw {

Exception::Exception(const std::string& message) : std::runtime_error(message) {}
Exception::~Exception() = default;

TObject::~TObject() = default;

std::string TObject::ClassName() const {
  const char* mangled = typeid(*this).name();
  int status = 0;
  const std::unique_ptr<char, void (*)(void*)> demangled(
      abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
  std::string name = status == 0 && demangled ? demangled.get() : mangled;
  const auto colon = name.rfind("::");
  return colon == std::string::npos ? name : name.substr(colon + 2);
}

}  // namespace nrw
