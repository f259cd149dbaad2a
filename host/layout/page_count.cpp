#include "layout/page_count.h"

#include <algorithm>
#include <string>

#include "layout/section_flow.h"
#include "util/name_key.h"

namespace nrw {
namespace {

bool ReplaceMarker(std::string& text, std::string_view marker, int count) {
  const std::string number = std::to_string(count);
  bool replaced = false;
  for (size_t at = text.find(marker); at != std::string::npos;
       at = text.find(marker, at + number.size())) {
    text.replace(at, marker.size(), number);
    replaced = true;
  }
  return replaced;
}

}  // namespace

bool CountsPages(const Layout& layout) {
  for (const LayoutSection& section : layout.sections) {
    for (const LayoutItem& item : section.items) {
      const std::string text = NameKey(item.text);
      if (text.find("[@paginas]") != std::string::npos ||
          text.find("[@paginas:") != std::string::npos) {
        return true;
      }
    }
  }
  return false;
}

bool HoldsMarker(const Page& page) {
  for (const PlacedSection& section : page.sections) {
    for (const std::string& text : section.texts) {
      if (text.find(kPageCountMarker) != std::string::npos ||
          text.find(kGroupPageCountMarker) != std::string::npos) {
        return true;
      }
    }
  }
  return false;
}

std::vector<int> GroupPageCounts(const std::vector<int>& group_pages) {
  std::vector<int> counts(group_pages.size(), 0);
  size_t start = 0;
  const auto close = [&](size_t end) {
    int highest = 0;
    for (size_t k = start; k < end; ++k) highest = std::max(highest, group_pages[k]);
    for (size_t k = start; k < end; ++k) counts[k] = highest;
    start = end;
  };
  for (size_t i = 0; i < group_pages.size(); ++i) {
    if (group_pages[i] <= 0) {
      close(i);
      start = i + 1;  // a page without a number belongs to no group
    } else if (i > start && group_pages[i] <= group_pages[i - 1]) {
      close(i);
    }
  }
  close(group_pages.size());
  return counts;
}

bool ReplacePageCountMarkers(PlacedSection& section, const PageCounts& counts) {
  bool replaced = false;
  for (std::string& text : section.texts) {
    replaced |= ReplaceMarker(text, kPageCountMarker, counts.document);
    replaced |= ReplaceMarker(text, kGroupPageCountMarker, counts.group);
  }
  return replaced;
}

void FlowAgain(const Layout& layout, PlacedSection& section) {
  if (const LayoutSection* layout_section = layout.FindSection(section.number)) {
    section.flow = FlowSection(*layout_section, section.texts, section.hidden, layout.grid);
  }
}

Page WithPageCount(const Layout& layout, const Page& page, const PageCounts& counts) {
  Page counted = page;
  for (PlacedSection& section : counted.sections) {
    if (ReplacePageCountMarkers(section, counts)) FlowAgain(layout, section);
  }
  return counted;
}

std::vector<PageCounts> CountsOf(const std::vector<Page>& pages) {
  std::vector<int> group_pages;
  group_pages.reserve(pages.size());
  for (const Page& page : pages) group_pages.push_back(page.group_page);
  const std::vector<int> groups = GroupPageCounts(group_pages);
  std::vector<PageCounts> counts;
  counts.reserve(pages.size());
  for (size_t i = 0; i < pages.size(); ++i) {
    counts.push_back({static_cast<int>(pages.size()), groups[i]});
  }
  return counts;
}

}  // namespace nrw
