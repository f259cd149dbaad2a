// FilterInterval over arbitrary selections: it answers a predicate or raises nrw::Exception, and
// the selection of one exact value (a separated part's) selects that value and nothing else.
#include <cstdlib>

#include "fuzz_input.h"
#include "nrw/core.h"
#include "nrw/util.h"
#include "util/selection.h"
#include "util/sql_literal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  nrw::fuzz::Input input(data, size);
  const int kind = 1 + input.Byte() % 3;
  const bool lead_and = input.Byte() % 2 == 0;
  const std::string selection = input.Text();
  try {
    const std::string predicate = nrw::FilterInterval({"C", "D"}, selection, {kind}, 0, lead_and);
    if (lead_and && !predicate.empty() && predicate.rfind(" and (", 0) != 0) std::abort();
  } catch (const nrw::Exception&) {
  }
  const std::string exact = nrw::SelectionOfValue(selection);
  if (nrw::FilterInterval({"C"}, exact, {2}, 0, false) !=
      "(C = " + nrw::StandardSqlLiteral(nrw::Variant(selection)) + ")") {
    std::abort();
  }
  return 0;
}
