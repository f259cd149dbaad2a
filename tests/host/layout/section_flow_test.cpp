// A section's items once their texts are known: wrapping, growth, what moves and what is reported.
#include "layout/section_flow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/report/report_fixtures.h"

namespace {

// One millimetre per cell. A 10-column title over a box holding a label, a value that does not
// wrap and a two-row note beside it; a line under the box.
constexpr const char* kLayout = R"({
  "report": "RptFluxo", "page": {"width_mm": 40, "height_mm": 40},
  "text_grid": {"column_mm": 1, "row_mm": 1},
  "sections": [{"number": 1, "height_mm": 7, "items": [
    {"type": "text", "x_mm": 0, "y_mm": 0, "w_mm": 10, "h_mm": 1},
    {"type": "box", "x_mm": 0, "y_mm": 1, "w_mm": 30, "h_mm": 4},
    {"type": "text", "x_mm": 1, "y_mm": 2, "w_mm": 8, "h_mm": 1},
    {"type": "text", "x_mm": 10, "y_mm": 2, "w_mm": 6, "h_mm": 1, "align": "right",
     "wrap": false},
    {"type": "text", "x_mm": 17, "y_mm": 2, "w_mm": 12, "h_mm": 2},
    {"type": "line", "x_mm": 0, "y_mm": 6, "w_mm": 30}
  ]}]
})";

struct Shape {
  int row;
  int rows;
};

TEST(SectionFlow, TextsWrapAndPushDownWhatLiesBelowThem) {
  const nrw::Layout layout = report_test::TestLayout(kLayout);
  const nrw::LayoutSection& section = layout.sections.at(0);
  struct Case {
    const char* name;
    std::vector<std::string> texts;
    std::vector<bool> hidden;
    int extra_rows;
    std::vector<Shape> shapes;  // per item: row and rows after growth
  };
  const Case cases[] = {
      {"everything fits",
       {"Título", "", "Nome", "1,00", "nota", ""},
       {},
       0,
       {{0, 1}, {1, 4}, {2, 1}, {2, 1}, {2, 2}, {6, 1}}},
      {"title of three rows moves all below by two",
       {"Título bem mais longo ainda", "", "Nome", "1,00", "nota", ""},
       {},
       2,
       {{0, 3}, {3, 4}, {4, 1}, {4, 1}, {4, 2}, {8, 1}}},
      {"texts side by side grow by the tallest, the box around them stretches",
       {"T", "", "Maria da Silva Santos", "1,00", "uma nota em três linhas curtas", ""},
       {},
       2,
       {{0, 1}, {1, 6}, {2, 3}, {2, 1}, {2, 3}, {8, 1}}},
      {"a hidden text neither shows nor grows",
       {"T", "", "Maria da Silva Santos", "1,00", "", ""},
       {false, false, true, false, false, false},
       0,
       {{0, 1}, {1, 4}, {2, 1}, {2, 1}, {2, 2}, {6, 1}}},
      {"a title of ten letters fits its ten columns, though accents make it twelve bytes",
       {"Sãonãoaaaa", "", "Nome", "1,00", "nota", ""},
       {},
       0,
       {{0, 1}, {1, 4}, {2, 1}, {2, 1}, {2, 2}, {6, 1}}},
      {"line breaks of the text each take a row, a trailing one none",
       {"T", "", "a\nb\nc\n", "1,00", "", ""},
       {},
       2,
       {{0, 1}, {1, 6}, {2, 3}, {2, 1}, {2, 2}, {8, 1}}},
  };
  for (const Case& c : cases) {
    const nrw::SectionFlow flow = nrw::FlowSection(section, c.texts, c.hidden, layout.grid);
    EXPECT_EQ(flow.extra_rows, c.extra_rows) << c.name;
    EXPECT_DOUBLE_EQ(flow.height_mm, 7 + c.extra_rows) << c.name;
    // A page break measures without laying out the lines: the same height.
    EXPECT_DOUBLE_EQ(nrw::FlowedHeight(section, c.texts, c.hidden, layout.grid), flow.height_mm)
        << c.name;
    for (size_t i = 0; i < c.shapes.size(); ++i) {
      EXPECT_EQ(flow.items[i].row, c.shapes[i].row) << c.name << ", item " << i;
      EXPECT_EQ(flow.items[i].rows, c.shapes[i].rows) << c.name << ", item " << i;
    }
    EXPECT_TRUE(flow.faults.empty()) << c.name;
  }
}

TEST(SectionFlow, ValuesThatDoNotFitAreReportedAndPrintedWhole) {
  const nrw::Layout layout = report_test::TestLayout(kLayout);
  const nrw::SectionFlow flow = nrw::FlowSection(
      layout.sections.at(0), {"Comprovante", "", "Nome", "1.234,56", "12.345.678/0001-90", ""}, {},
      layout.grid);
  ASSERT_EQ(flow.faults.size(), 3u);
  EXPECT_EQ(flow.faults[0].item, 0u);
  EXPECT_EQ(flow.faults[0].kind, nrw::FlowFaultKind::BrokenWord);
  EXPECT_EQ(flow.faults[0].text, "Comprovante");
  EXPECT_EQ(flow.faults[1].item, 3u);
  EXPECT_EQ(flow.faults[1].kind, nrw::FlowFaultKind::TooWide);
  EXPECT_EQ(flow.faults[1].text, "1.234,56");
  EXPECT_EQ(flow.faults[2].item, 4u);
  EXPECT_EQ(flow.faults[2].text, "12.345.678/0001-90");

  // The broken word goes on in the next row; the value that must not wrap spills to the left of
  // its right-aligned item.
  const nrw::ItemFlow& title = flow.items[0];
  ASSERT_EQ(title.lines.size(), 2u);
  EXPECT_EQ(title.lines[0].text, U"Comprovant");
  EXPECT_EQ(title.lines[1].text, U"e");
  const nrw::ItemFlow& value = flow.items[3];
  ASSERT_EQ(value.lines.size(), 1u);
  EXPECT_EQ(value.lines[0].text, U"1.234,56");
  EXPECT_EQ(value.lines[0].col, 10 + 6 - 8);
}

}  // namespace
