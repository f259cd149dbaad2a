// Printed pages as a CSV file that a Brazilian spreadsheet opens as it should: UTF-8 with a
// byte-order mark, ";" between cells, the decimal comma, lines ended by CRLF and cells quoted as
// RFC 4180 asks (a cell with ";", a double quote or a line break, its quotes doubled). Rows as
// sheet_rows.h makes them; amounts and integers without thousands dots ("1234,56"), dates as
// printed. A text keeps every character (a code's leading zeros are in the file).
#pragma once

#include <ostream>

#include "render/page_writer.h"
#include "render/sheet_rows.h"

namespace nrw {

class CsvPageWriter final : public PageWriter {
 public:
  //! The layout and the stream are borrowed; writes the byte-order mark (and a named header).
  CsvPageWriter(const Layout& layout, std::ostream& out);
  void Draw(const Page& page) override;
  void Finish() override;
  bool ShowsPageCount() const override { return false; }

 private:
  void Write(const SheetRow& row);

  std::ostream& out_;
  SheetRows rows_;
};

//! A cell as written between the separators.
std::string CsvField(const CellValue& cell);

}  // namespace nrw
