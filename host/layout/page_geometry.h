// Where a renderer that draws in millimetres puts an item of a printed section: the place the
// section flow gave it on the text grid, with lines and box edges through the middle of their
// cells (where the text output draws them), and the font the item is drawn in.
#pragma once

#include <string_view>

#include "layout/layout.h"
#include "layout/section_flow.h"

namespace nrw {

struct ItemBox {
  double x_mm = 0;
  double y_mm = 0;
  double w_mm = 0;
  double h_mm = 0;
  //! Lines: horizontal ones run through mid_y, vertical ones through mid_x.
  bool horizontal = true;
  double mid_x_mm = 0;
  double mid_y_mm = 0;
};

//! The family is the layout's (borrowed).
struct ResolvedFont {
  std::string_view family;
  double size_pt = 0;
  bool bold = false;
};

//! The item's place; x from the body's left edge, y from the sheet's top (top_mm is the section's
//! top on the sheet).
ItemBox PlaceItem(const Layout& layout, const LayoutItem& item, const ItemFlow& place,
                  double top_mm);

//! The item's font, the layout's default where the item names none.
ResolvedFont FontOf(const Layout& layout, const LayoutItem& item);

}  // namespace nrw
