#include "layout/section_flow.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string_view>

#include "util/utf8.h"

namespace nrw {
namespace {

bool IsText(const LayoutItem& item) {
  return item.type == LayoutItemType::Text || item.type == LayoutItemType::Label;
}

// A paragraph in lines of at most width characters, broken at blanks. A word longer than the
// width goes on in the next row and is reported; blanks that open a row after a break are dropped.
void WrapParagraph(std::u32string chars, size_t width, std::vector<std::u32string>& lines,
                   std::vector<std::u32string>& broken_words) {
  if (chars.size() <= width) {
    lines.push_back(std::move(chars));
    return;
  }
  size_t start = 0;
  while (start < chars.size()) {
    size_t end = std::min(chars.size(), start + width);
    if (end < chars.size() && chars[end] != U' ') {
      // The last blank of this row only: a search back to the paragraph's start would make a
      // long word cost the square of its length.
      size_t blank = end;
      while (blank > start && chars[blank] != U' ') --blank;
      if (blank > start) {
        end = blank;
      } else if (start == 0 || chars[start - 1] == U' ') {
        const size_t word_end = chars.find(U' ', start);
        broken_words.push_back(chars.substr(start, word_end - start));
      }
    }
    std::u32string line = chars.substr(start, end - start);
    const size_t last = line.find_last_not_of(U' ');
    line.erase(last == std::u32string::npos ? 0 : last + 1);
    lines.push_back(std::move(line));
    start = end;
    while (start < chars.size() && chars[start] == U' ') ++start;
  }
}

// The lines of a text item: one per line break of the text (trailing breaks add nothing), each
// wrapped to the width unless the item does not wrap.
std::vector<std::u32string> ItemLines(const LayoutItem& item, std::string_view text, size_t width,
                                      size_t index, std::vector<FlowFault>& faults) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  std::vector<std::u32string> lines;
  size_t start = 0;
  while (true) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view piece = text.substr(start, end - start);
    if (!piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
    std::u32string chars = DecodeUtf8(piece);
    if (item.wrap) {
      std::vector<std::u32string> broken;
      WrapParagraph(std::move(chars), width, lines, broken);
      for (const std::u32string& word : broken) {
        faults.push_back({index, FlowFaultKind::BrokenWord, EncodeUtf8(word)});
      }
    } else {
      if (chars.size() > width) {
        faults.push_back({index, FlowFaultKind::TooWide, EncodeUtf8(chars)});
      }
      lines.push_back(std::move(chars));
    }
    if (end == text.size()) break;
    start = end + 1;
  }
  return lines;
}

int AlignedOffset(LayoutAlign align, int cols, int length) {
  switch (align) {
    case LayoutAlign::Right:
      return cols - length;
    case LayoutAlign::Center:
      // A line wider than the item spills evenly to both sides.
      return length <= cols ? (cols - length) / 2 : -((length - cols + 1) / 2);
    case LayoutAlign::Left:
      break;
  }
  return 0;
}

// Where a text item sits before the section grows, and the rows it adds.
struct TextRows {
  size_t item = 0;
  int top = 0;
  int bottom = 0;  // first row below the item as laid out
  int growth = 0;
  int shift = 0;  // rows it moves down
};

// Rows by which a point of the section moves down: the growth of every text above it, added
// along each column of texts stacked one under the other.
int ShiftAt(const std::vector<TextRows>& texts, size_t known, int row) {
  int shift = 0;
  for (size_t k = 0; k < known; ++k) {
    if (texts[k].bottom <= row) shift = std::max(shift, texts[k].shift + texts[k].growth);
  }
  return shift;
}

// Sorts the texts from the top down and moves each by the growth of the texts above it; false
// when no text grew, so that nothing moves.
bool ShiftTexts(std::vector<TextRows>& rows) {
  if (std::none_of(rows.begin(), rows.end(), [](const TextRows& r) { return r.growth > 0; })) {
    return false;
  }
  std::stable_sort(rows.begin(), rows.end(),
                   [](const TextRows& a, const TextRows& b) { return a.top < b.top; });
  for (size_t k = 0; k < rows.size(); ++k) rows[k].shift = ShiftAt(rows, k, rows[k].top);
  return true;
}

// Rows and columns of an item on the grid, before anything grows.
void PlaceOnGrid(const LayoutItem& item, const LayoutTextGrid& grid, ItemFlow& placed) {
  placed.row = GridCells(item.y_mm, grid.row_mm);
  placed.col = GridCells(item.x_mm, grid.column_mm);
  switch (item.type) {
    case LayoutItemType::Text:
    case LayoutItemType::Label:
      placed.cols = std::max(1, GridCells(item.w_mm, grid.column_mm));
      placed.rows = std::max(1, GridCells(item.h_mm, grid.row_mm));
      break;
    case LayoutItemType::Line:
      placed.cols = item.w_mm >= item.h_mm ? std::max(1, GridCells(item.w_mm, grid.column_mm)) : 1;
      placed.rows = item.w_mm >= item.h_mm ? 1 : std::max(1, GridCells(item.h_mm, grid.row_mm));
      break;
    case LayoutItemType::Box:
      placed.cols = std::max(2, GridCells(item.w_mm, grid.column_mm));
      placed.rows = std::max(2, GridCells(item.h_mm, grid.row_mm));
      break;
  }
}

double Height(const LayoutSection& section, const std::vector<TextRows>& rows,
              const LayoutTextGrid& grid, int& extra_rows) {
  extra_rows = ShiftAt(rows, rows.size(), GridCells(section.height_mm, grid.row_mm));
  return section.height_mm + extra_rows * grid.row_mm;
}

}  // namespace

int GridCells(double mm, double cell_mm) { return static_cast<int>(std::lround(mm / cell_mm)); }

SectionFlow FlowSection(const LayoutSection& section, const std::vector<std::string>& texts,
                        const std::vector<bool>& hidden, const LayoutTextGrid& grid) {
  SectionFlow flow;
  flow.items.resize(section.items.size());
  std::vector<TextRows> rows;
  for (size_t i = 0; i < section.items.size(); ++i) {
    const LayoutItem& item = section.items[i];
    ItemFlow& placed = flow.items[i];
    PlaceOnGrid(item, grid, placed);
    const bool shown = hidden.empty() || !hidden[i];
    if (!IsText(item)) continue;
    if (shown && i < texts.size()) {
      std::vector<std::u32string> lines =
          ItemLines(item, texts[i], static_cast<size_t>(placed.cols), i, flow.faults);
      placed.lines.reserve(lines.size());
      for (size_t k = 0; k < lines.size(); ++k) {
        const int length = static_cast<int>(lines[k].size());
        placed.lines.push_back({placed.row + static_cast<int>(k),
                                placed.col + AlignedOffset(item.align, placed.cols, length),
                                std::move(lines[k])});
      }
    }
    const int needed = static_cast<int>(placed.lines.size());
    rows.push_back({i, placed.row, placed.row + placed.rows, std::max(0, needed - placed.rows), 0});
  }
  if (!ShiftTexts(rows)) {
    flow.height_mm = section.height_mm;
    return flow;
  }

  for (const TextRows& text : rows) {
    ItemFlow& placed = flow.items[text.item];
    placed.row += text.shift;
    placed.rows += text.growth;
    for (FlowLine& line : placed.lines) line.row += text.shift;
  }
  for (size_t i = 0; i < section.items.size(); ++i) {
    const LayoutItem& item = section.items[i];
    if (IsText(item)) continue;
    ItemFlow& placed = flow.items[i];
    const int top = placed.row;
    const int last = placed.row + placed.rows - 1;
    placed.row = top + ShiftAt(rows, rows.size(), top);
    if (item.type == LayoutItemType::Line && item.h_mm > item.w_mm) {
      // A vertical line runs beside its rows: it stretches with every text that ends within them.
      placed.rows = last + 1 + ShiftAt(rows, rows.size(), last + 1) - placed.row;
    } else if (placed.rows > 1) {  // boxes stretch over what grew inside them
      placed.rows = last + ShiftAt(rows, rows.size(), last) - placed.row + 1;
    }
  }
  flow.height_mm = Height(section, rows, grid, flow.extra_rows);
  return flow;
}

double FlowedHeight(const LayoutSection& section, const std::vector<std::string>& texts,
                    const std::vector<bool>& hidden, const LayoutTextGrid& grid) {
  std::vector<TextRows> rows;
  std::vector<FlowFault> faults;
  for (size_t i = 0; i < section.items.size(); ++i) {
    const LayoutItem& item = section.items[i];
    if (!IsText(item)) continue;
    ItemFlow placed;
    PlaceOnGrid(item, grid, placed);
    int needed = 0;
    if ((hidden.empty() || !hidden[i]) && i < texts.size()) {
      const std::string_view text = texts[i];
      const auto width = static_cast<size_t>(placed.cols);
      // No more characters than bytes: a short text without a break is one line.
      needed = text.size() <= width && text.find('\n') == std::string_view::npos
                   ? 1
                   : static_cast<int>(ItemLines(item, text, width, i, faults).size());
    }
    rows.push_back({i, placed.row, placed.row + placed.rows, std::max(0, needed - placed.rows), 0});
  }
  if (!ShiftTexts(rows)) return section.height_mm;
  int extra_rows = 0;
  return Height(section, rows, grid, extra_rows);
}

}  // namespace nrw
