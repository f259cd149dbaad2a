// The message page: each message on its line, led by its subject, under a heading that every page
// of the messages repeats, numbered on from the report's last page.
#include "layout/message_pages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/report/report_fixtures.h"

namespace {

// A body of 6 rows of 1 mm on 30 columns: the heading takes 3, leaving 3 for messages.
constexpr const char* kLayout = R"({
  "report": "RptAvisos", "title": "Avisos",
  "page": {"width_mm": 30, "height_mm": 6, "orientation": "landscape"},
  "text_grid": {"column_mm": 1, "row_mm": 1}})";

TEST(MessagePages, EachMessageLedByWhatItIsAbout) {
  const struct {
    nrw::MessageEntry entry;
    const char* line;
  } cases[] = {
      {{0, "sem assunto", "", ""}, "sem assunto"},
      {{1, "faltou o município", "Empresa 1", "pEmpresas=1"}, "Empresa 1: faltou o município"},
      {{5, "", "Empresa 4 - Sul", ""}, "Empresa 4 - Sul"},
  };
  for (const auto& c : cases) EXPECT_EQ(nrw::MessageLine(c.entry), c.line);
  EXPECT_EQ(nrw::MessageCaption({}), "Mensagem");
  EXPECT_EQ(nrw::MessageCaption({"Mensagens", "Código"}), "Mensagens | Código");
}

TEST(MessagePages, MessagesThatDoNotFitGoOnAPageUnderTheHeadingAgain) {
  const nrw::Layout layout = report_test::TestLayout(kLayout);
  const std::vector<nrw::MessageEntry> messages = {
      {0, "um", "", ""}, {0, "dois tres quatro cinco seis sete", "", ""}, {0, "oito", "", ""}};
  const std::vector<nrw::Page> pages = nrw::MessagePages(layout, "Mensagem", messages, 8);
  ASSERT_EQ(pages.size(), 2u);
  std::vector<std::vector<std::string>> texts;
  for (const nrw::Page& page : pages) {
    std::vector<std::string> page_texts;
    for (const nrw::PlacedSection& section : page.sections) page_texts.push_back(section.texts[0]);
    texts.push_back(page_texts);
  }
  EXPECT_EQ(texts, (std::vector<std::vector<std::string>>{
                       {"Avisos", "um", "dois tres quatro cinco seis sete"}, {"Avisos", "oito"}}))
      << "the second message wraps to two rows: the third starts a page";
  EXPECT_EQ(pages[0].number, 8);
  EXPECT_EQ(pages[1].number, 9);
  EXPECT_EQ(pages[1].sections[0].texts[1], "Mensagem");
  EXPECT_TRUE(nrw::MessagePages(layout, "Mensagem", {}, 1).empty()) << "no message, no page";
}

}  // namespace
