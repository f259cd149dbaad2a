// The one walk of a page that the writers draw from: shown items only, in order, at the place the
// page's flow gives them.
#include "layout/page_walk.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "host/report/report_fixtures.h"
#include "nrw/core.h"
#include "util/utf8.h"

namespace {

// Two rows of margin on top; a text that wraps in 6 columns, a line under it, a box and a label.
constexpr const char* kLayout = R"({
  "report": "RptPasseio", "page": {"width_mm": 30, "height_mm": 40,
                                   "margins_mm": {"top": 2, "left": 3}},
  "text_grid": {"column_mm": 1, "row_mm": 1},
  "sections": [{"number": 1, "height_mm": 5, "items": [
    {"type": "text", "x_mm": 0, "y_mm": 0, "w_mm": 6, "h_mm": 1},
    {"type": "line", "x_mm": 0, "y_mm": 1, "w_mm": 10},
    {"type": "box", "x_mm": 12, "y_mm": 0, "w_mm": 5, "h_mm": 3},
    {"type": "label", "x_mm": 0, "y_mm": 3, "w_mm": 8, "h_mm": 1, "align": "right"}
  ]}]
})";

// Each visit as one line of text: kind, where, what.
struct Recorder final : nrw::PageVisitor {
  std::vector<std::string> visits;
  void TextLine(const nrw::PlacedItem& at, const nrw::FlowLine& line) override {
    visits.push_back("text " + std::to_string(at.top_row) + "+" + std::to_string(line.row) + "," +
                     std::to_string(line.col) + " " + nrw::EncodeUtf8(line.text));
  }
  void Line(const nrw::PlacedItem& at) override {
    visits.push_back(std::string(at.box.horizontal ? "hline " : "vline ") +
                     std::to_string(at.top_row) + "+" + std::to_string(at.flow.row) +
                     " y=" + std::to_string(at.box.mid_y_mm));
  }
  void Box(const nrw::PlacedItem& at) override {
    visits.push_back("box " + std::to_string(at.top_row) + "+" + std::to_string(at.flow.row) +
                     " rows=" + std::to_string(at.flow.rows) +
                     " top_mm=" + std::to_string(at.top_mm));
  }
};

std::vector<std::string> Walk(const nrw::Layout& layout, const nrw::Page& page) {
  Recorder recorder;
  nrw::WalkPage(layout, page, recorder);
  return recorder.visits;
}

TEST(PageWalk, VisitsTheShownItemsInOrderWhereTheFlowPutThem) {
  const nrw::Layout layout = report_test::TestLayout(kLayout);
  const nrw::LayoutSection& section = *layout.FindSection(1);
  struct Case {
    const char* name;
    std::vector<std::string> texts;
    std::vector<bool> hidden;
    std::vector<std::string> visits;
  };
  const Case cases[] = {
      {"everything shown; the second section starts below the first",
       {"um", "", "", "fim"},
       {},
       {"text 0+0,0 um", "hline 0+1 y=3.500000", "box 0+0 rows=3 top_mm=2.000000", "text 0+3,5 fim",
        "text 5+0,0 um", "hline 5+1 y=8.500000", "box 5+0 rows=3 top_mm=7.000000",
        "text 5+3,5 fim"}},
      {"a text that wraps pushes the line and the label down, the box beside it stretches",
       {"um dois tres", "", "", "fim"},
       {},
       {"text 0+0,0 um", "text 0+1,0 dois", "text 0+2,0 tres", "hline 0+3 y=5.500000",
        "box 0+0 rows=5 top_mm=2.000000", "text 0+5,5 fim", "text 7+0,0 um", "text 7+1,0 dois",
        "text 7+2,0 tres", "hline 7+3 y=12.500000", "box 7+0 rows=5 top_mm=9.000000",
        "text 7+5,5 fim"}},
      {"hidden items and empty texts are not visited",
       {"", "", "", "fim"},
       {false, true, true, false},
       {"text 0+3,5 fim", "text 5+3,5 fim"}},
  };
  for (const Case& c : cases) {
    nrw::PageModel pages(layout.page.BodyHeight());
    pages.Place(nrw::FlowedSection(section, c.texts, c.hidden, layout.grid));
    pages.Place(nrw::FlowedSection(section, c.texts, c.hidden, layout.grid));
    EXPECT_EQ(Walk(layout, pages.Pages().at(0)), c.visits) << c.name;
  }
}

TEST(PageWalk, DrawsTheFlowThePageCarriesWithoutFlowingAgain) {
  const nrw::Layout layout = report_test::TestLayout(kLayout);
  nrw::Page page;
  page.sections.push_back(
      nrw::FlowedSection(*layout.FindSection(1), {"um", "", "", ""}, {}, layout.grid));
  page.sections[0].flow.items[0].lines[0].row = 4;
  page.sections[0].flow.items[0].lines[0].text = U"medido";
  EXPECT_EQ(Walk(layout, page).at(0), "text 0+4,0 medido");
}

TEST(PageWalk, ASectionTheLayoutLacksIsSkippedAndOneWithoutItsFlowRaises) {
  const nrw::Layout layout = report_test::TestLayout(kLayout);
  nrw::Page page;
  nrw::PlacedSection unknown;
  unknown.number = 7;
  page.sections.push_back(unknown);
  EXPECT_TRUE(Walk(layout, page).empty());

  nrw::PlacedSection unflowed;
  unflowed.number = 1;
  unflowed.texts = {"um", "", "", ""};
  page.sections.push_back(unflowed);
  EXPECT_THROW(Walk(layout, page), nrw::Exception);
}

// The sides of a frame drawn band by band: each band's vertical line ends where the next one's
// starts, whatever the rows each band grew to.
TEST(PageWalk, VerticalLinesOfBandsOneBelowTheOtherJoin) {
  const nrw::Layout layout = report_test::TestLayout(R"({
    "report": "RptLados", "page": {"width_mm": 20, "height_mm": 40},
    "text_grid": {"column_mm": 1, "row_mm": 1},
    "sections": [{"number": 1, "height_mm": 1, "items": [
      {"type": "line", "x_mm": 0, "y_mm": 0, "h_mm": 1},
      {"type": "text", "x_mm": 2, "y_mm": 0, "w_mm": 4, "h_mm": 1}]}]})");
  const nrw::LayoutSection& section = *layout.FindSection(1);
  nrw::PageModel pages(layout.page.BodyHeight());
  pages.Place(nrw::FlowedSection(section, {"", "um dois"}, {}, layout.grid));
  pages.Place(nrw::FlowedSection(section, {"", "tres"}, {}, layout.grid));
  struct Sides final : nrw::PageVisitor {
    std::vector<std::pair<double, double>> spans;
    void TextLine(const nrw::PlacedItem&, const nrw::FlowLine&) override {}
    void Line(const nrw::PlacedItem& at) override {
      spans.emplace_back(at.box.y_mm, at.box.y_mm + at.box.h_mm);
    }
    void Box(const nrw::PlacedItem&) override {}
  } sides;
  nrw::WalkPage(layout, pages.Pages().at(0), sides);
  EXPECT_EQ(sides.spans, (std::vector<std::pair<double, double>>{{0, 2}, {2, 3}}));
}

}  // namespace
