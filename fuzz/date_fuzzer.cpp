// Date parsing and formatting: a text that parses is a real calendar date whose short form parses
// back to the same day; any mask formats any parsed date.
#include <cmath>
#include <cstdlib>

#include "fuzz_input.h"
#include "nrw/core.h"
#include "nrw/datetime.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  nrw::fuzz::Input input(data, size);
  const double raw = input.Double();
  const std::string mask = input.Text();
  const std::string text = input.Text();
  if (const std::optional<nrw::TDateTime> date = nrw::TryStrToDate(text)) {
    int year = 0, month = 0, day = 0;
    nrw::DecodeDate(*date, year, month, day);
    if (month < 1 || month > 12 || day < 1 || day > nrw::DaysInMonth(year, month)) std::abort();
    const std::optional<nrw::TDateTime> back = nrw::TryStrToDate(nrw::DateToStr(*date));
    if (!back || *back != nrw::DateOf(*date)) std::abort();
    nrw::FormatDateTime(mask, *date);
    nrw::DateToISO(*date);
    nrw::DateTimeToStr(*date);
  }
  // Dates the database may hold: anything a year of four digits can carry.
  if (std::isfinite(raw) && raw > -693593.0 && raw < 2958466.0) {
    const nrw::TDateTime date(raw);
    nrw::FormatDateTime(mask, date);
    nrw::DateToISO(date);
    nrw::EndOfTheMonth(date);
  }
  return 0;
}
