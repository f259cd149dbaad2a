#include "layout/page_model.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace nrw {

PlacedSection FlowedSection(const LayoutSection& section, std::vector<std::string> texts,
                            std::vector<bool> hidden, const LayoutTextGrid& grid) {
  PlacedSection placed;
  placed.number = section.number;
  placed.flow = FlowSection(section, texts, hidden, grid);
  placed.texts = std::move(texts);
  placed.hidden = std::move(hidden);
  return placed;
}

PageSink::~PageSink() = default;

void PageModel::HandOver() {
  if (sink_ == nullptr || pages_.empty()) return;
  sink_->PageDone(std::move(pages_.back()));
  pages_.clear();
}

void PageModel::StartPage() {
  HandOver();
  Page page;
  page.number = ++page_count_;
  pages_.push_back(std::move(page));
  position_mm_ = 0;
}

void PageModel::Place(PlacedSection section) {
  if (!HasPage()) StartPage();
  section.top_mm = position_mm_;
  position_mm_ += section.flow.height_mm;
  pages_.back().sections.push_back(std::move(section));
}

std::vector<PlacedSection> PageModel::TakeLast(size_t count) {
  std::vector<PlacedSection> taken;
  if (!HasPage()) return taken;
  std::vector<PlacedSection>& sections = pages_.back().sections;
  count = std::min(count, sections.size());
  const auto first = sections.end() - static_cast<std::ptrdiff_t>(count);
  taken.assign(std::make_move_iterator(first), std::make_move_iterator(sections.end()));
  sections.erase(first, sections.end());
  position_mm_ = sections.empty() ? 0 : sections.back().top_mm + sections.back().flow.height_mm;
  return taken;
}

void PageModel::SetGroupPage(int number) {
  if (HasPage()) pages_.back().group_page = number;
}

void PageModel::Finish() { HandOver(); }

void PageModel::Clear() {
  pages_.clear();
  page_count_ = 0;
  position_mm_ = 0;
}

}  // namespace nrw
