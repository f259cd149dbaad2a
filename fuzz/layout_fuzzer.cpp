// The layout loader on arbitrary text: a layout is read whole or refused with nrw::Exception
// ("Layout <file>: ..."), never with the JSON library's own errors.
#include "nrw/core.h"
#include "report/layout_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    nrw::ParseLayout(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.json");
  } catch (const nrw::Exception&) {
  }
  return 0;
}
