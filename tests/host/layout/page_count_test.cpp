// "[@PAGINAS]": which layouts print the count, and pages with the count in place of the marker.
#include "layout/page_count.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/report/report_fixtures.h"
#include "layout/section_flow.h"
#include "util/utf8.h"

namespace {

std::string LayoutWithText(const std::string& text) {
  return R"({"report": "RptConta", "page": {"width_mm": 30, "height_mm": 40},
    "text_grid": {"column_mm": 1, "row_mm": 1},
    "sections": [{"number": 2, "height_mm": 2, "items": [
      {"type": "text", "x_mm": 0, "y_mm": 0, "w_mm": 12, "h_mm": 1, "align": "right",
       "text": ")" +
         text + R"("},
      {"type": "text", "x_mm": 0, "y_mm": 1, "w_mm": 12, "h_mm": 1, "align": "center"}]}]})";
}

TEST(PageCount, ALayoutCountsPagesWhenAnItemPrintsTheCountInAnyCase) {
  const struct {
    const char* text;
    bool counts;
  } cases[] = {
      {"Página [@PAGINA] de [@PAGINAS]", true},   {"de [@paginas]", true},
      {"Página [pPag] de [@PAGINAS:pPag]", true}, {"[@PAGINA]", false},
      {"@PAGINAS sem colchetes", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(nrw::CountsPages(report_test::TestLayout(LayoutWithText(c.text))), c.counts)
        << c.text;
  }
}

TEST(PageCount, TheCountReplacesEveryMarkerAndTheSectionsThatHeldOneFlowAgain) {
  const nrw::Layout layout = report_test::TestLayout(LayoutWithText(""));
  const nrw::LayoutSection& section = *layout.FindSection(2);
  const std::string marker(nrw::kPageCountMarker);
  nrw::Page page;
  page.number = 3;
  page.sections.push_back(
      nrw::FlowedSection(section, {"Pág 3 de " + marker, marker + "/" + marker}, {}, layout.grid));
  page.sections.push_back(nrw::FlowedSection(section, {"sem marca", ""}, {}, layout.grid));
  // A flow that is not the texts' own: left alone where there is nothing to count.
  page.sections[1].flow.items[0].lines[0].col = 5;
  ASSERT_TRUE(nrw::HoldsMarker(page));

  const std::string group(nrw::kGroupPageCountMarker);
  page.sections[0].texts[1] = marker + "/" + group;
  const nrw::Page counted = nrw::WithPageCount(layout, page, {17, 2});
  EXPECT_FALSE(nrw::HoldsMarker(counted));
  EXPECT_EQ(counted.sections[0].texts, (std::vector<std::string>{"Pág 3 de 17", "17/2"}));
  const nrw::ItemFlow& right = counted.sections[0].flow.items[0];
  EXPECT_EQ(right.lines.at(0).text, U"Pág 3 de 17");
  EXPECT_EQ(right.lines.at(0).col, 12 - 11) << "aligned right for the count, not the marker";
  EXPECT_EQ(counted.sections[0].flow.items[1].lines.at(0).col, (12 - 4) / 2);
  EXPECT_EQ(counted.sections[1].flow.items[0].lines.at(0).col, 5);
  EXPECT_TRUE(nrw::HoldsMarker(page)) << "the page given stays as it was";
}

// A group (a copy of a statement) runs while its page numbers grow; pages without one stand alone.
TEST(PageCount, EachPageCountsThePagesOfItsGroup) {
  const struct {
    const char* name;
    std::vector<int> numbers;
    std::vector<int> counts;
  } cases[] = {
      {"one group", {1, 2, 3}, {3, 3, 3}},
      {"copies of one, two and three pages", {1, 1, 2, 1, 2, 3}, {1, 2, 2, 3, 3, 3}},
      {"a page without a number", {1, 2, 0, 1}, {2, 2, 0, 1}},
      {"numbering that jumps counts up to its highest", {1, 3, 2}, {3, 3, 2}},
      {"no pages", {}, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(nrw::GroupPageCounts(c.numbers), c.counts) << c.name;
}

}  // namespace
