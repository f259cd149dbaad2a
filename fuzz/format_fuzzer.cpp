// The number formatting and parsing every printed amount goes through: any mask, any double, any
// pattern; errors are nrw::Exception, and what FormatFloat writes for "0.00" reads back.
#include <cmath>
#include <cstdlib>

#include "fuzz_input.h"
#include "nrw/core.h"
#include "nrw/format.h"
#include "nrw/variant.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  nrw::fuzz::Input input(data, size);
  const double value = input.Double();
  const int64_t integer = input.Int64();
  const std::string mask = input.Text();
  const std::string pattern = input.Text();
  const std::string number = input.Text();
  try {
    nrw::FormatFloat(mask, value);
    nrw::FormatInteger(mask, integer);
  } catch (const nrw::Exception&) {
  }
  try {
    nrw::Format(pattern, {nrw::Variant(number), nrw::Variant(integer), nrw::Variant(value)});
  } catch (const nrw::Exception&) {
  }
  double parsed = 0;
  nrw::TryStrToFloat(number, parsed);
  int64_t parsed_integer = 0;
  nrw::TryStrToInt(number, parsed_integer);
  nrw::FloatToStr(value);
  // Up to the largest amount printed (999.999.999.999,99) a cent is well above the double's
  // spacing, so the two decimals read back within half a cent.
  if (std::isfinite(value) && std::fabs(value) < 1e12) {
    const std::string text = nrw::FormatFloat("0.00", value);
    double back = 0;
    if (!nrw::TryStrToFloat(text, back) || std::fabs(back - value) > 0.0051) std::abort();
  }
  return 0;
}
