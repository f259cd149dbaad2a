#include "layout/page_count.h"

#include <string>

#include "layout/section_flow.h"
#include "util/name_key.h"

namespace nrw {

bool CountsPages(const Layout& layout) {
  for (const LayoutSection& section : layout.sections) {
    for (const LayoutItem& item : section.items) {
      if (NameKey(item.text).find("[@paginas]") != std::string::npos) return true;
    }
  }
  return false;
}

bool HoldsMarker(const Page& page) {
  for (const PlacedSection& section : page.sections) {
    for (const std::string& text : section.texts) {
      if (text.find(kPageCountMarker) != std::string::npos) return true;
    }
  }
  return false;
}

bool ReplacePageCountMarker(PlacedSection& section, int count) {
  const std::string number = std::to_string(count);
  bool replaced = false;
  for (std::string& text : section.texts) {
    for (size_t at = text.find(kPageCountMarker); at != std::string::npos;
         at = text.find(kPageCountMarker, at + number.size())) {
      text.replace(at, kPageCountMarker.size(), number);
      replaced = true;
    }
  }
  return replaced;
}

Page WithPageCount(const Layout& layout, const Page& page, int count) {
  Page counted = page;
  for (PlacedSection& section : counted.sections) {
    if (!ReplacePageCountMarker(section, count)) continue;
    if (const LayoutSection* layout_section = layout.FindSection(section.number)) {
      section.flow = FlowSection(*layout_section, section.texts, section.hidden, layout.grid);
    }
  }
  return counted;
}

}  // namespace nrw
