#include "layout/page_walk.h"

#include <string>

#include "nrw/core.h"

namespace nrw {

PageVisitor::~PageVisitor() = default;

void PageVisitor::Section(const LayoutSection& /*section*/, const PlacedSection& /*placed*/) {}

void WalkPage(const Layout& layout, const Page& page, PageVisitor& visitor) {
  for (const PlacedSection& placed : page.sections) {
    const LayoutSection* section = layout.FindSection(placed.number);
    if (section == nullptr) continue;
    if (placed.flow.items.size() != section->items.size()) {
      throw Exception("Seção " + std::to_string(placed.number) + " da página " +
                      std::to_string(page.number) + " sem a distribuição dos seus itens.");
    }
    const int top_row = GridCells(placed.top_mm, layout.grid.row_mm);
    const double top_mm = layout.page.margins.top_mm + placed.top_mm;
    visitor.Section(*section, placed);
    for (size_t i = 0; i < section->items.size(); ++i) {
      if (!placed.hidden.empty() && placed.hidden[i]) continue;
      const LayoutItem& item = section->items[i];
      const ItemFlow& flow = placed.flow.items[i];
      const PlacedItem at{item, flow, PlaceItem(layout, item, flow, top_mm), top_row, top_mm};
      switch (item.type) {
        case LayoutItemType::Text:
        case LayoutItemType::Label:
          for (const FlowLine& line : flow.lines) {
            if (!line.text.empty()) visitor.TextLine(at, line);
          }
          break;
        case LayoutItemType::Line:
          visitor.Line(at);
          break;
        case LayoutItemType::Box:
          visitor.Box(at);
          break;
      }
    }
  }
}

}  // namespace nrw
