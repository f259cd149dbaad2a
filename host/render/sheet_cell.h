// A spreadsheet cell read from what a report printed: the pages hold texts ("1.234,56"), and the
// layout says which kind of value an item prints. A text that does not read as its kind stays a
// text, so that nothing printed is lost; a kind is never guessed from the text itself (a CPF is
// digits too).
#pragma once

#include <string>
#include <string_view>

namespace nrw {

enum class CellKind { Text, Amount, Integer, Date };

struct CellValue {
  //! What the text was read as.
  CellKind kind = CellKind::Text;
  //! As printed, without the blanks around it; empty: an empty cell.
  std::string text;
  //! Amount and Integer: the value. Date: the day (days since 30/12/1899, a spreadsheet's serial).
  double number = 0;
  //! Amount: the decimals printed.
  int decimals = 0;
  //! Date: printed as month and year ("03/2023"); the number is the month's first day.
  bool month = false;
};

//! The printed text as a value of the kind: an amount "-1.234,56" (or "1234,56"), an integer
//! "1.234" or "8", a date "31/12/2023" or "12/2023".
CellValue ReadCell(std::string_view printed, CellKind kind);

//! An amount or integer as a Brazilian spreadsheet reads it from a text file: the printed digits
//! with the decimal comma and without the thousands dots ("-1234,56").
std::string PlainNumber(const CellValue& value);

}  // namespace nrw
