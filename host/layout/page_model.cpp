#include "layout/page_model.h"

#include <utility>

namespace nrw {

PageSink::~PageSink() = default;

void PageModel::HandOver() {
  if (sink_ == nullptr || pages_.empty()) return;
  sink_->PageDone(pages_.back());
  pages_.clear();
}

void PageModel::StartPage() {
  HandOver();
  Page page;
  page.number = ++page_count_;
  pages_.push_back(std::move(page));
  position_mm_ = 0;
}

void PageModel::Place(PlacedSection section, double height_mm) {
  if (!HasPage()) StartPage();
  section.top_mm = position_mm_;
  pages_.back().sections.push_back(std::move(section));
  position_mm_ += height_mm;
}

void PageModel::Finish() { HandOver(); }

void PageModel::Clear() {
  pages_.clear();
  page_count_ = 0;
  position_mm_ = 0;
}

}  // namespace nrw
