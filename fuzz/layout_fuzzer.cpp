// The layout loader on arbitrary text: a layout is read whole or refused with nrw::Exception
// ("Layout <file>: ..."), never with the JSON library's own errors.
#include "layout/layout_loader.h"
#include "nrw/core.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    nrw::ParseLayout(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.json");
  } catch (const nrw::Exception&) {
  }
  return 0;
}
