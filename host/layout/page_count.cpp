#include "layout/page_count.h"

#include <string>

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

Page WithPageCount(const Page& page, int count) {
  Page counted = page;
  const std::string number = std::to_string(count);
  for (PlacedSection& section : counted.sections) {
    for (std::string& text : section.texts) {
      for (size_t at = text.find(kPageCountMarker); at != std::string::npos;
           at = text.find(kPageCountMarker, at + number.size())) {
        text.replace(at, kPageCountMarker.size(), number);
      }
    }
  }
  return counted;
}

}  // namespace nrw
