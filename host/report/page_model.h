// The printed pages of one report (or of one separated part): each page keeps the sections placed
// on it with what their items showed when printed. Positions are millimetres from the top of the
// page body (below the top margin).
#pragma once

#include <string>
#include <vector>

namespace nrw {

struct PlacedSection {
  int number = 0;
  double top_mm = 0;
  //! Per layout item of the section: the text shown (empty for lines and boxes).
  std::vector<std::string> texts;
  //! Per layout item: hidden by the module. Empty when nothing of the section is hidden.
  std::vector<bool> hidden;
};

struct Page {
  int number = 0;
  std::vector<PlacedSection> sections;
};

class PageModel {
 public:
  explicit PageModel(double body_height_mm = 0) : body_height_mm_(body_height_mm) {}

  bool HasPage() const { return !pages_.empty(); }
  //! Number of the current page; 0 before the first.
  int PageNumber() const { return static_cast<int>(pages_.size()); }
  //! Where the next section goes on the current page.
  double Position() const { return position_mm_; }
  //! Height left on the current page; 0 when no page has started.
  double Remaining() const { return HasPage() ? body_height_mm_ - position_mm_ : 0; }
  double BodyHeight() const { return body_height_mm_; }

  void StartPage();
  //! Puts the section at the current position of the current page and moves below it.
  void Place(PlacedSection section, double height_mm);
  const std::vector<Page>& Pages() const { return pages_; }
  void Clear();

 private:
  double body_height_mm_;
  double position_mm_ = 0;
  std::vector<Page> pages_;
};

}  // namespace nrw
