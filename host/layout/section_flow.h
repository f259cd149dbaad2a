// How the items of a printed section take their place once their texts are known, on the layout's
// text grid: a text wraps at blanks within its width, and the rows it adds push down whatever lies
// below it and stretch the boxes and vertical lines around it. The engine measures pages with it
// and the renderers draw from it, so that both see the same rows. Plain values, no ownership.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "layout/layout.h"

namespace nrw {

//! One line of a text item: its row and first column from the section's top-left corner, in cells.
struct FlowLine {
  int row = 0;
  int col = 0;
  std::u32string text;
};

enum class FlowFaultKind {
  //! A line of an item that does not wrap ("wrap": false) is wider than the item.
  TooWide,
  //! A word is wider than the item that wraps it, so it was broken across rows.
  BrokenWord,
};

//! A value that did not fit its item. Nothing is lost on the page (the line is printed whole past
//! the item's width, the word goes on in the next row), but the layout is wrong for it.
struct FlowFault {
  size_t item = 0;
  FlowFaultKind kind = FlowFaultKind::TooWide;
  std::string text;
};

//! An item's place once the section grew, in cells from the section's top-left corner.
struct ItemFlow {
  int row = 0;
  int col = 0;
  int rows = 0;
  int cols = 0;
  //! The lines of a text or label that is shown, aligned within the item.
  std::vector<FlowLine> lines;
};

struct SectionFlow {
  //! One per layout item.
  std::vector<ItemFlow> items;
  //! Rows added to the section's height by the texts that grew.
  int extra_rows = 0;
  //! The section's height with those rows.
  double height_mm = 0;
  std::vector<FlowFault> faults;
};

//! The whole number of cells a length takes on the grid (nearest).
int GridCells(double mm, double cell_mm);

//! texts: one per item, placeholders expanded (ignored for lines and boxes); hidden: empty, or
//! one flag per item (a hidden item shows nothing and does not grow).
SectionFlow FlowSection(const LayoutSection& section, const std::vector<std::string>& texts,
                        const std::vector<bool>& hidden, const LayoutTextGrid& grid);

//! The height FlowSection gives, without laying out the lines (what a page break asks).
double FlowedHeight(const LayoutSection& section, const std::vector<std::string>& texts,
                    const std::vector<bool>& hidden, const LayoutTextGrid& grid);

}  // namespace nrw
