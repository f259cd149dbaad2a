#include "render/sheet_rows.h"

#include <utility>

namespace nrw {
namespace {

// A text as one cell: the lines it was written in (or wrapped to) joined by blanks.
std::string OneLine(const std::string& text) {
  std::string line;
  line.reserve(text.size());
  for (const char c : text) {
    line += (c == '\n' || c == '\r' || c == '\t') ? ' ' : c;
  }
  return line;
}

bool Empty(const SheetRow& row) {
  for (const CellValue& cell : row.cells) {
    if (!cell.text.empty()) return false;
  }
  return true;
}

}  // namespace

SheetRows::SheetRows(const Layout& layout, Sink sink)
    : layout_(layout), sink_(std::move(sink)), plan_(layout) {}

void SheetRows::Begin() {
  if (plan_.Names().empty()) return;
  SheetRow header;
  header.header = true;
  for (const std::string& name : plan_.Names()) {
    header.cells.push_back(ReadCell(name, CellKind::Text));
  }
  Hand(header);
}

void SheetRows::Add(const Page& page) { WalkPage(layout_, page, *this); }

void SheetRows::Section(const LayoutSection& section, const PlacedSection& placed) {
  const SheetSection* plan = plan_.Find(section.number);
  if (plan == nullptr || placed.repeated) return;
  const bool header = plan->rows == LayoutSheetRows::Header;
  if (header && header_given_) return;
  SheetRow row;
  row.header = header;
  int line = plan->cells.empty() ? 0 : plan->cells.front().line;
  for (const SheetCell& cell : plan->cells) {
    if (plan->rows == LayoutSheetRows::Lines && cell.line != line) {
      Hand(row);
      row = SheetRow();
      line = cell.line;
    }
    const bool hidden = cell.item < placed.hidden.size() && placed.hidden[cell.item];
    const std::string text = hidden || cell.item >= placed.texts.size()
                                 ? std::string()
                                 : OneLine(placed.texts[cell.item]);
    if (row.cells.size() <= cell.column) row.cells.resize(cell.column + 1);
    row.cells[cell.column] = ReadCell(text, cell.kind);
  }
  Hand(row);
}

void SheetRows::Hand(SheetRow& row) {
  if (Empty(row)) return;
  if (row.header) header_given_ = true;
  // Every row as wide as the sheet, so that a text file has as many fields on every line.
  if (row.cells.size() < plan_.Widths().size()) row.cells.resize(plan_.Widths().size());
  sink_(row);
}

}  // namespace nrw
