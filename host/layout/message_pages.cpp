#include "layout/message_pages.h"

#include <algorithm>
#include <utility>

#include "util/composed_text.h"

namespace nrw {
namespace {

LayoutItem Text(double x_mm, double y_mm, double w_mm, double h_mm, LayoutAlign align, bool bold) {
  LayoutItem item;
  item.type = LayoutItemType::Text;
  item.x_mm = x_mm;
  item.y_mm = y_mm;
  item.w_mm = w_mm;
  item.h_mm = h_mm;
  item.align = align;
  item.font.bold = bold;
  return item;
}

}  // namespace

std::string MessageLine(const MessageEntry& entry) {
  if (entry.subject.empty()) return entry.text;
  return entry.text.empty() ? entry.subject : entry.subject + ": " + entry.text;
}

std::string MessageCaption(const std::vector<std::string>& captions) {
  std::string caption;
  for (const std::string& part : captions) caption += (caption.empty() ? "" : " | ") + part;
  return caption.empty() ? "Mensagem" : caption;
}

std::vector<LayoutSection> MessageSections(const Layout& layout) {
  // Whole cells of the text grid, so that nothing runs past the page in the text output.
  const double column = layout.grid.column_mm;
  const int columns = std::max(2, static_cast<int>(layout.page.BodyWidth() / column + 1e-9));
  const int title_columns = columns * 7 / 10;
  const double width = columns * column;
  const double row = layout.grid.row_mm;
  LayoutSection heading;
  heading.number = kMessageHeadingSection;
  heading.height_mm = 3 * row;
  heading.items.push_back(Text(0, 0, (title_columns - 1) * column, row, LayoutAlign::Left, true));
  heading.items.push_back(Text(title_columns * column, 0, (columns - title_columns) * column, row,
                               LayoutAlign::Right, true));
  LayoutItem rule;
  rule.type = LayoutItemType::Line;
  rule.y_mm = row;
  rule.w_mm = width;
  heading.items.push_back(rule);

  LayoutSection line;
  line.number = kMessageLineSection;
  line.height_mm = row;
  line.items.push_back(Text(0, 0, width, row, LayoutAlign::Left, false));
  std::vector<LayoutSection> sections;
  sections.push_back(std::move(heading));
  sections.push_back(std::move(line));
  return sections;
}

std::vector<Page> MessagePages(const Layout& layout, const std::string& caption,
                               const std::vector<MessageEntry>& messages, int first_number) {
  const LayoutSection* heading = layout.FindSection(kMessageHeadingSection);
  const LayoutSection* line = layout.FindSection(kMessageLineSection);
  if (messages.empty() || heading == nullptr || line == nullptr) return {};
  const std::string title = layout.title.empty() ? layout.report : layout.title;
  PageModel pages(layout.page.BodyHeight());
  const auto start_page = [&] {
    pages.StartPage();
    pages.Place(
        FlowedSection(*heading, {ComposedText(title), ComposedText(caption), ""}, {}, layout.grid));
  };
  start_page();
  bool page_has_line = false;
  for (const MessageEntry& message : messages) {
    PlacedSection placed =
        FlowedSection(*line, {ComposedText(MessageLine(message))}, {}, layout.grid);
    if (page_has_line && placed.flow.height_mm > pages.Remaining() + 1e-6) {
      start_page();
      page_has_line = false;
    }
    pages.Place(std::move(placed));
    page_has_line = true;
  }
  std::vector<Page> drawn = pages.Pages();
  for (size_t i = 0; i < drawn.size(); ++i) drawn[i].number = first_number + static_cast<int>(i);
  return drawn;
}

}  // namespace nrw
