// The rows of a spreadsheet, read from the printed pages as they are drawn (the pages' one walk):
// each printed section that the plan keeps becomes one row (or one per line of its items), its
// cells read as the plan's kinds; a section that shows nothing gives no row. The header row comes
// first when the layout names its columns, else where the first header section was printed; later
// prints of a header section give nothing.
#pragma once

#include <functional>
#include <vector>

#include "layout/layout.h"
#include "layout/page_model.h"
#include "layout/page_walk.h"
#include "render/sheet_cell.h"
#include "render/sheet_plan.h"

namespace nrw {

struct SheetRow {
  bool header = false;
  //! One per column up to the last one given; an empty text is an empty cell.
  std::vector<CellValue> cells;
};

class SheetRows final : private PageVisitor {
 public:
  using Sink = std::function<void(const SheetRow&)>;
  //! The layout is borrowed.
  SheetRows(const Layout& layout, Sink sink);

  const SheetPlan& Plan() const { return plan_; }
  //! Hands over the header row of named columns; nothing when the layout names none.
  void Begin();
  //! Hands over the page's rows, in order.
  void Add(const Page& page);

 private:
  void Section(const LayoutSection& section, const PlacedSection& placed) override;
  void TextLine(const PlacedItem& /*item*/, const FlowLine& /*line*/) override {}
  void Line(const PlacedItem& /*item*/) override {}
  void Box(const PlacedItem& /*item*/) override {}
  void Hand(SheetRow& row);

  const Layout& layout_;
  Sink sink_;
  SheetPlan plan_;
  bool header_given_ = false;
};

}  // namespace nrw
