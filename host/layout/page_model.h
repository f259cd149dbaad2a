// The printed pages of one report (or of one separated part): each page keeps the sections placed
// on it with what their items showed when printed and where the section flow put them, so that a
// writer draws the page without flowing it again. Positions are millimetres from the top of the
// page body (below the top margin). With a page sink, each page is handed over once it is finished
// and then dropped, so that only the page being printed is held.
#pragma once

#include <string>
#include <vector>

#include "layout/layout.h"
#include "layout/section_flow.h"

namespace nrw {

struct PlacedSection {
  int number = 0;
  double top_mm = 0;
  //! Per layout item of the section: the text shown (empty for lines and boxes).
  std::vector<std::string> texts;
  //! Per layout item: hidden by the module. Empty when nothing of the section is hidden.
  std::vector<bool> hidden;
  //! The section flowed with these texts: one place per layout item.
  SectionFlow flow;
  //! A group heading printed again on a page that starts inside its group: page furniture that a
  //! spreadsheet leaves out, as it gave its row where the group began.
  bool repeated = false;
};

//! The section placed with what its items show: their texts (one per item) and those hidden.
PlacedSection FlowedSection(const LayoutSection& section, std::vector<std::string> texts,
                            std::vector<bool> hidden, const LayoutTextGrid& grid);

struct Page {
  int number = 0;
  //! The page's number within its group of pages ("[@PAGINAS:pPag]" counts the pages numbered by
  //! the variable pPag until the numbering starts again); 0 when the page prints no such count.
  int group_page = 0;
  std::vector<PlacedSection> sections;
};

//! Receives each finished page, in order.
class PageSink {
 public:
  virtual ~PageSink();
  //! The page is the sink's to keep: the model starts a new one.
  virtual void PageDone(Page&& page) = 0;
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
  //! Puts the section at the current position of the current page and moves below it (by the
  //! height its flow gave it).
  void Place(PlacedSection section);
  //! Takes the last count sections off the current page (they go to another page).
  std::vector<PlacedSection> TakeLast(size_t count);
  //! The number the current page has within its group of pages.
  void SetGroupPage(int number);
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
