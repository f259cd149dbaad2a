#include "render/text_renderer.h"

#include <gtest/gtest.h>

#include <sstream>

#include "host/report/report_fixtures.h"

namespace {

// One millimetre per character and per line, 20 columns.
constexpr const char* kLayout = R"({
  "report": "RptTexto",
  "page": {"width_mm": 20, "height_mm": 30},
  "text_grid": {"column_mm": 1, "row_mm": 1},
  "sections": [{"number": 5, "height_mm": 7, "items": [
    {"type": "text", "x_mm": 0, "y_mm": 0, "w_mm": 8, "h_mm": 1},
    {"type": "text", "x_mm": 10, "y_mm": 0, "w_mm": 6, "h_mm": 1, "align": "right"},
    {"type": "line", "x_mm": 0, "y_mm": 1, "w_mm": 20},
    {"type": "box", "x_mm": 0, "y_mm": 2, "w_mm": 5, "h_mm": 3},
    {"type": "text", "x_mm": 10, "y_mm": 2, "w_mm": 5, "h_mm": 2},
    {"type": "label", "x_mm": 6, "y_mm": 5, "w_mm": 8, "h_mm": 1, "align": "center"},
    {"type": "text", "name": "oculto", "x_mm": 0, "y_mm": 6, "w_mm": 10, "h_mm": 1}
  ]}]
})";

nrw::PlacedSection Section(const nrw::Layout& layout, std::vector<std::string> texts,
                           std::vector<bool> hidden = {}) {
  return nrw::FlowedSection(*layout.FindSection(5), std::move(texts), std::move(hidden),
                            layout.grid);
}

TEST(TextRenderer, DrawsTextsLinesAndBoxesOnTheGridWrappingLongTexts) {
  const nrw::Layout layout = report_test::TestLayout(kLayout);
  nrw::PageModel pages(layout.page.BodyHeight());
  pages.Place(Section(layout,
                      {"Ação longa demais", "12,5", "", "", "um\ndois\ntres", "ab", "escondido"},
                      {false, false, false, false, false, false, true}));
  pages.StartPage();
  pages.Place(Section(layout, {"x", "", "", "", "", "", "visível"}));

  std::ostringstream out;
  nrw::WritePages(nrw::OutputFormat::Text, layout, pages.Pages(), out);
  // The first text takes three rows and the third one more than it has: what lies below them moves
  // down and the box stretches; nothing is cut.
  EXPECT_EQ(out.str(),
            "Ação        12,5\n"
            "longa\n"
            "demais\n"
            "--------------------\n"
            "+---+     um\n"
            "|   |     dois\n"
            "|   |     tres\n"
            "+---+\n"
            "         ab\n"
            "\f"
            "x\n"
            "--------------------\n"
            "+---+\n"
            "|   |\n"
            "+---+\n"
            "\n"
            "visível\n");
}

TEST(TextRenderer, SectionsStackDownThePage) {
  const nrw::Layout layout = report_test::TestLayout(kLayout);
  nrw::PageModel pages(layout.page.BodyHeight());
  pages.Place(Section(layout, {"um", "", "", "", "", "", ""},
                      {false, false, true, true, false, false, false}));
  pages.Place(Section(layout, {"dois", "", "", "", "", "", ""},
                      {false, false, true, true, false, false, false}));
  std::ostringstream out;
  nrw::WritePages(nrw::OutputFormat::Text, layout, pages.Pages(), out);
  EXPECT_EQ(out.str(), "um\n\n\n\n\n\n\ndois\n");
}

// With a sink, a page is handed over when the next one starts (or at the end) and not kept.
TEST(PageModel, SinkReceivesEachFinishedPageAndOnlyTheCurrentOneIsKept) {
  struct Collector : nrw::PageSink {
    std::vector<std::pair<int, size_t>> pages;  // number, sections
    void PageDone(nrw::Page&& page) override {
      pages.emplace_back(page.number, page.sections.size());
    }
  } sink;
  const nrw::Layout layout = report_test::TestLayout(kLayout);
  nrw::PageModel pages(30);
  pages.SetSink(&sink);
  pages.Place(Section(layout, {}));
  pages.Place(Section(layout, {}));
  pages.StartPage();
  pages.Place(Section(layout, {}));
  EXPECT_EQ(sink.pages, (std::vector<std::pair<int, size_t>>{{1, 2}}));
  EXPECT_EQ(pages.Pages().size(), 1u);
  EXPECT_EQ(pages.PageNumber(), 2);
  EXPECT_DOUBLE_EQ(pages.Remaining(), 23);
  pages.Finish();
  EXPECT_EQ(sink.pages, (std::vector<std::pair<int, size_t>>{{1, 2}, {2, 1}}));
  EXPECT_TRUE(pages.Pages().empty());
  EXPECT_EQ(pages.PageNumber(), 2) << "the count stays with the pages handed over";
}

}  // namespace
