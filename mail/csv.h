// CSV as offices write it: RFC 4180 quoting, a separator of the caller's choice (';' here), CRLF
// or LF line ends, a leading UTF-8 BOM ignored.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nrw::mail {

struct CsvRecord {
  //! Line of the file where the record starts (from 1).
  int line = 0;
  std::vector<std::string> fields;
};

//! The records of text; blank lines are skipped. Raises InputError naming `what` and the line for a
//! quoted field that never closes or a quote inside an unquoted field.
std::vector<CsvRecord> ParseCsv(std::string_view text, char separator, const std::string& what);

//! The text without a leading UTF-8 BOM.
std::string_view WithoutBom(std::string_view text);

}  // namespace nrw::mail
