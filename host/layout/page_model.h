// The printed pages of one report (or of one separated part): each page keeps the sections placed
// on it with what their items showed when printed. Positions are millimetres from the top of the
// page body (below the top margin). With a page sink, each page is handed over once it is finished
// and then dropped, so that only the page being printed is held.
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

//! Receives each finished page, in order.
class PageSink {
 public:
  virtual ~PageSink();
  virtual void PageDone(const Page& page) = 0;
};

class PageModel {
 public:
  explicit PageModel(double body_height_mm = 0) : body_height_mm_(body_height_mm) {}

  //! A page is being printed.
  bool HasPage() const { return !pages_.empty(); }
  //! Number of the current (or last) page; 0 before the first.
  int PageNumber() const { return page_count_; }
  //! Where the next section goes on the current page.
  double Position() const { return position_mm_; }
  //! Height left on the current page; 0 when no page has started.
  double Remaining() const { return HasPage() ? body_height_mm_ - position_mm_ : 0; }
  double BodyHeight() const { return body_height_mm_; }

  //! Borrowed; nullptr: every page is kept.
  void SetSink(PageSink* sink) { sink_ = sink; }
  //! Starts a page; with a sink, the page before it is handed over first.
  void StartPage();
  //! Puts the section at the current position of the current page and moves below it.
  void Place(PlacedSection section, double height_mm);
  //! With a sink, hands over the page being printed: the report has ended.
  void Finish();
  //! The pages kept: all of them without a sink, at most the current one with a sink.
  const std::vector<Page>& Pages() const { return pages_; }
  void Clear();

 private:
  void HandOver();

  double body_height_mm_;
  double position_mm_ = 0;
  int page_count_ = 0;
  std::vector<Page> pages_;
  PageSink* sink_ = nullptr;
};

}  // namespace nrw
