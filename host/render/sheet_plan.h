// How a layout's printed sections become spreadsheet rows, decided from the layout alone before the
// first page (a spreadsheet is written row by row): which items give cells, in which column and of
// which kind. Page furniture (an item that shows the engine's own values: page, page count, date,
// title, report name), lines and boxes give none, nor do items the layout leaves out. Columns are
// either the cells' places in reading order, under the header row that the first printed header
// section gives, or, when the layout names columns, those names in the order they first appear.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "layout/layout.h"
#include "render/sheet_cell.h"

namespace nrw {

struct SheetCell {
  //! The item's index in its section.
  size_t item = 0;
  size_t column = 0;
  CellKind kind = CellKind::Text;
  //! The item's row on the text grid, from the section's top: the line it prints on.
  int line = 0;
};

struct SheetSection {
  LayoutSheetRows rows = LayoutSheetRows::Row;
  //! In reading order: top to bottom, left to right.
  std::vector<SheetCell> cells;
};

class SheetPlan {
 public:
  explicit SheetPlan(const Layout& layout);

  //! The plan of the section; nullptr when it gives the spreadsheet nothing.
  const SheetSection* Find(int number) const;
  //! The columns' names when the layout names them (they are then the header row); else empty.
  const std::vector<std::string>& Names() const { return names_; }
  //! The width of each column in millimetres: that of its widest item.
  const std::vector<double>& Widths() const { return widths_; }

 private:
  void Widen(size_t column, double width_mm);

  std::map<int, SheetSection> sections_;
  std::vector<std::string> names_;
  std::vector<double> widths_;
};

//! The kind of value an item prints: the one the layout declares, else the one its mask tells
//! when its text is one placeholder with a mask ("[VALOR:#,##0.00]" an amount, "[N:0]" an
//! integer, "[D:dd/mm/yyyy]" a date; "[C:0000]", a code kept with its zeros, a text); else a text.
CellKind CellKindOf(const LayoutItem& item);

//! Whether the item shows the engine's own values ("[@PAGINA]", "[@DATA]"...): page furniture.
bool IsPageFurniture(const LayoutItem& item);

}  // namespace nrw
