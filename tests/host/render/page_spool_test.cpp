// Pages of a layout that prints the page count wait in the spool and are drawn at the end: each
// as it was printed, with the count in place of the marker and flowed for the count.
#include "render/page_spool.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/report/report_fixtures.h"
#include "layout/page_count.h"
#include "layout/section_flow.h"
#include "util/utf8.h"

namespace {

// A page footer: "Página N de [@PAGINAS]" aligned right, and a note that may be hidden.
constexpr const char* kLayout = R"({
  "report": "RptSpool", "page": {"width_mm": 30, "height_mm": 40},
  "text_grid": {"column_mm": 1, "row_mm": 1},
  "sections": [{"number": 9, "height_mm": 2, "items": [
    {"type": "text", "x_mm": 0, "y_mm": 0, "w_mm": 20, "h_mm": 1, "align": "right",
     "text": "Página [@PAGINA] de [@PAGINAS]"},
    {"type": "text", "name": "nota", "x_mm": 0, "y_mm": 1, "w_mm": 6, "h_mm": 1}
  ]}]
})";

struct Recorder final : nrw::PageWriter {
  std::vector<nrw::Page> pages;
  void Draw(const nrw::Page& page) override { pages.push_back(page); }
  void Finish() override {}
};

std::string Marker() { return std::string(nrw::kPageCountMarker); }

// The note is hidden on even pages.
std::vector<bool> HiddenOn(int page) {
  return page % 2 == 0 ? std::vector<bool>{false, true} : std::vector<bool>{};
}

// The footer's layout and a spool that receives each page the page model finishes.
class SpooledPages : public ::testing::Test {
 protected:
  void SetUp() override { pages.SetSink(&spool); }

  const nrw::Layout layout = report_test::TestLayout(kLayout);
  const nrw::LayoutSection& footer = *layout.FindSection(9);
  nrw::PageSpool spool{layout};
  nrw::PageModel pages{layout.page.BodyHeight()};
};

TEST_F(SpooledPages, ReplaysEveryPageWithTheCountAndTheFlowOfTheCount) {
  for (int n = 1; n <= 12; ++n) {
    pages.StartPage();
    const std::vector<bool> hidden =
        n % 2 == 0 ? std::vector<bool>{false, true} : std::vector<bool>{};
    pages.Place(nrw::FlowedSection(
        footer, {"Página " + std::to_string(n) + " de " + Marker(), "uma nota longa"}, hidden,
        layout.grid));
    // Copies of five pages: the last copy has two.
    pages.SetGroupPage((n - 1) % 5 + 1);
    pages.Place(nrw::FlowedSection(
        footer, {"cópia de " + std::string(nrw::kGroupPageCountMarker), ""}, {}, layout.grid));
  }
  pages.Finish();
  ASSERT_EQ(spool.Count(), 12);

  Recorder recorder;
  spool.Replay(recorder);
  ASSERT_EQ(recorder.pages.size(), 12u);
  for (int n = 1; n <= 12; ++n) {
    const nrw::Page& page = recorder.pages[static_cast<size_t>(n - 1)];
    EXPECT_EQ(page.number, n);
    ASSERT_EQ(page.sections.size(), 2u);
    const nrw::PlacedSection& counted = page.sections[0];
    EXPECT_EQ(counted.texts[0], "Página " + std::to_string(n) + " de 12");
    EXPECT_EQ(counted.hidden, HiddenOn(n));
    EXPECT_EQ(page.sections[1].texts[0], n <= 10 ? "cópia de 5" : "cópia de 2") << n;
    EXPECT_DOUBLE_EQ(page.sections[1].top_mm, counted.flow.height_mm);
    for (const nrw::PlacedSection& section : page.sections) {
      const nrw::SectionFlow flow =
          nrw::FlowSection(footer, section.texts, section.hidden, layout.grid);
      ASSERT_EQ(section.flow.items.size(), flow.items.size());
      for (size_t i = 0; i < flow.items.size(); ++i) {
        ASSERT_EQ(section.flow.items[i].lines.size(), flow.items[i].lines.size()) << n;
        for (size_t k = 0; k < flow.items[i].lines.size(); ++k) {
          EXPECT_EQ(section.flow.items[i].lines[k].col, flow.items[i].lines[k].col) << n;
          EXPECT_EQ(section.flow.items[i].lines[k].text, flow.items[i].lines[k].text) << n;
        }
      }
    }
    // Right-aligned in 20 columns: the count's two digits end where the marker's four ended.
    EXPECT_EQ(counted.flow.items[0].lines.at(0).col,
              20 - static_cast<int>(nrw::DecodeUtf8(counted.texts[0]).size()));
  }
}

// A long document leaves memory for the temporary file midway; every page comes back whole.
TEST_F(SpooledPages, ALongDocumentGoesToTheFileAndComesBackWhole) {
  const size_t note_size = 256 << 10;
  const int count = static_cast<int>(nrw::PageSpool::kInMemoryBytes / note_size) + 4;
  for (int n = 1; n <= count; ++n) {
    pages.StartPage();
    pages.Place(nrw::FlowedSection(footer,
                                   {"Página " + std::to_string(n) + " de " + Marker(),
                                    std::string(note_size, static_cast<char>('a' + n % 26))},
                                   {false, true}, layout.grid));
  }
  pages.Finish();

  Recorder recorder;
  spool.Replay(recorder);
  ASSERT_EQ(recorder.pages.size(), static_cast<size_t>(count));
  for (int n = 1; n <= count; ++n) {
    const nrw::PlacedSection& section = recorder.pages[static_cast<size_t>(n - 1)].sections.at(0);
    EXPECT_EQ(section.texts[0], "Página " + std::to_string(n) + " de " + std::to_string(count));
    EXPECT_EQ(section.texts[1], std::string(note_size, static_cast<char>('a' + n % 26))) << n;
  }
}

}  // namespace
