#include "layout/page_geometry.h"

#include <algorithm>

namespace nrw {

ItemBox PlaceItem(const Layout& layout, const LayoutItem& item, const ItemFlow& place,
                  double top_mm) {
  const double row = layout.grid.row_mm;
  const double column = layout.grid.column_mm;
  const int rows = std::max(place.rows, 1);
  ItemBox box;
  box.x_mm = item.x_mm;
  box.y_mm = top_mm + place.row * row;
  box.w_mm = item.w_mm;
  box.h_mm = rows * row;
  box.horizontal = item.w_mm >= item.h_mm;
  box.mid_x_mm = item.x_mm + column / 2;
  box.mid_y_mm = box.y_mm + row / 2;
  if (item.type == LayoutItemType::Box) {
    // The edges run through the border cells, as the text output draws its corners there.
    box.x_mm += column / 2;
    box.w_mm = std::max(0.0, box.w_mm - column);
    box.y_mm += row / 2;
    box.h_mm = std::max(0.0, box.h_mm - row);
  }
  // A vertical line runs the whole height of its rows: the sides that bands printed one below the
  // other draw (a frame around lines of any number) join into one line.
  return box;
}

ResolvedFont FontOf(const Layout& layout, const LayoutItem& item) {
  ResolvedFont font{layout.font.family, layout.font.size_pt, layout.font.bold};
  if (!item.font.family.empty()) font.family = item.font.family;
  if (item.font.size_pt > 0) font.size_pt = item.font.size_pt;
  if (item.font.bold) font.bold = true;
  return font;
}

}  // namespace nrw
