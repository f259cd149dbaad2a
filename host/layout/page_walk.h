// The one walk of a printed page that every writer draws from: each section in the order placed,
// each item of it that is shown, in layout order, at the place the section's flow gave it, handed
// to the writer by kind. The walk borrows the layout and the page for the call.
#pragma once

#include "layout/layout.h"
#include "layout/page_geometry.h"
#include "layout/page_model.h"
#include "layout/section_flow.h"

namespace nrw {

//! An item of a placed section, where it is drawn.
struct PlacedItem {
  const LayoutItem& item;
  //! On the text grid, in cells from the section's top-left corner.
  const ItemFlow& flow;
  //! In millimetres: x from the body's left edge, y from the sheet's top (PlaceItem).
  ItemBox box;
  //! The section's top: its row on the body's grid, and millimetres from the sheet's top.
  int top_row = 0;
  double top_mm = 0;
};

class PageVisitor {
 public:
  virtual ~PageVisitor();
  //! A section of the layout as placed, before its items; for writers that take a section whole.
  virtual void Section(const LayoutSection& section, const PlacedSection& placed);
  //! A line of a text or label that shows something, in cells from the section's top-left corner.
  virtual void TextLine(const PlacedItem& item, const FlowLine& line) = 0;
  //! A line: horizontal (box.horizontal) or vertical.
  virtual void Line(const PlacedItem& item) = 0;
  virtual void Box(const PlacedItem& item) = 0;
};

//! Visits every shown item of the page. A section the layout does not have is skipped; one whose
//! flow does not match the layout's items raises Exception.
void WalkPage(const Layout& layout, const Page& page, PageVisitor& visitor);

}  // namespace nrw
