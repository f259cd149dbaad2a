#include "report/page_model.h"

#include <utility>

namespace nrw {

void PageModel::StartPage() {
  Page page;
  page.number = PageNumber() + 1;
  pages_.push_back(std::move(page));
  position_mm_ = 0;
}

void PageModel::Place(PlacedSection section, double height_mm) {
  if (!HasPage()) StartPage();
  section.top_mm = position_mm_;
  pages_.back().sections.push_back(std::move(section));
  position_mm_ += height_mm;
}

void PageModel::Clear() {
  pages_.clear();
  position_mm_ = 0;
}

}  // namespace nrw
