#include "layout/layout.h"

#include <algorithm>

#include "nrw/format.h"

namespace nrw {

const LayoutSection* Layout::FindSection(int number) const {
  if (number < 0) {
    for (const LayoutSection& section : host_sections) {
      if (section.number == number) return &section;
    }
    return nullptr;
  }
  const auto found = std::lower_bound(
      sections.begin(), sections.end(), number,
      [](const LayoutSection& section, int wanted) { return section.number < wanted; });
  return found != sections.end() && found->number == number ? &*found : nullptr;
}

const LayoutParam* Layout::FindParam(std::string_view name) const {
  for (const LayoutParam& param : params) {
    if (SameText(param.name, name)) return &param;
  }
  return nullptr;
}

const LayoutSeparator* Layout::FindSeparator(std::string_view param) const {
  for (const LayoutSeparator& separator : separators) {
    if (SameText(separator.param, param)) return &separator;
  }
  return nullptr;
}

std::vector<const LayoutSection*> Layout::PageHeadings() const {
  std::vector<const LayoutSection*> headings;
  for (const LayoutSection& section : sections) {
    if (section.kind == LayoutSectionKind::PageHeading) headings.push_back(&section);
  }
  return headings;
}

double Layout::PageHeadingHeight() const {
  double height_mm = 0;
  for (const LayoutSection* section : PageHeadings()) height_mm += section->height_mm;
  return height_mm;
}

}  // namespace nrw
