#include "render/csv_writer.h"

namespace nrw {
namespace {

constexpr char kSeparator = ';';
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

std::string CsvField(const CellValue& cell) {
  const std::string text = cell.kind == CellKind::Amount || cell.kind == CellKind::Integer
                               ? PlainNumber(cell)
                               : cell.text;
  if (text.find_first_of(";\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

CsvPageWriter::CsvPageWriter(const Layout& layout, std::ostream& out)
    : out_(out), rows_(layout, [this](const SheetRow& row) { Write(row); }) {
  out_ << kByteOrderMark;
  rows_.Begin();
}

void CsvPageWriter::Draw(const Page& page) { rows_.Add(page); }

void CsvPageWriter::Finish() { out_.flush(); }

void CsvPageWriter::Write(const SheetRow& row) {
  for (size_t i = 0; i < row.cells.size(); ++i) {
    if (i > 0) out_ << kSeparator;
    out_ << CsvField(row.cells[i]);
  }
  out_ << "\r\n";
}

}  // namespace nrw
