#include "report/text_renderer.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "util/utf8.h"

namespace nrw {
namespace {

int Cells(double mm, double cell_mm) { return static_cast<int>(std::lround(mm / cell_mm)); }

class Grid {
 public:
  explicit Grid(int width) : width_(std::max(width, 1)) {}

  void Put(int row, int col, char32_t c) {
    if (row < 0 || col < 0 || col >= width_) return;
    if (static_cast<size_t>(row) >= rows_.size()) {
      rows_.resize(static_cast<size_t>(row) + 1, std::u32string(static_cast<size_t>(width_), U' '));
    }
    rows_[static_cast<size_t>(row)][static_cast<size_t>(col)] = c;
  }

  void Write(std::ostream& out) const {
    std::string line;
    for (const std::u32string& row : rows_) {
      const size_t end = row.find_last_not_of(U' ');
      line.clear();
      if (end != std::u32string::npos)
        line = EncodeUtf8(std::u32string_view(row).substr(0, end + 1));
      out << line << '\n';
    }
  }

 private:
  int width_;
  std::vector<std::u32string> rows_;
};

// A paragraph as the lines it takes: a text item of several rows wraps at blanks (a word longer
// than the width is cut), a one-row item is cut at its width.
std::vector<std::u32string> ParagraphLines(std::u32string chars, size_t width, bool wrap) {
  std::vector<std::u32string> lines;
  if (!wrap || chars.size() <= width) {
    if (chars.size() > width) chars.resize(width);
    lines.push_back(std::move(chars));
    return lines;
  }
  size_t start = 0;
  while (start < chars.size()) {
    size_t end = std::min(chars.size(), start + width);
    if (end < chars.size()) {
      const size_t blank = chars.rfind(U' ', end);
      if (blank != std::u32string::npos && blank > start) end = blank;
    }
    lines.push_back(chars.substr(start, end - start));
    start = end;
    while (start < chars.size() && chars[start] == U' ') ++start;
  }
  return lines;
}

void DrawText(Grid& grid, const LayoutItem& item, const std::string& text, int row, int col,
              const LayoutTextGrid& cell) {
  const int width = std::max(1, Cells(item.w_mm, cell.column_mm));
  const int max_lines = std::max(1, Cells(item.h_mm, cell.row_mm));
  std::vector<std::u32string> lines;
  size_t start = 0;
  while (start <= text.size() && static_cast<int>(lines.size()) < max_lines) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view piece = std::string_view(text).substr(start, end - start);
    if (!piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
    for (std::u32string& line :
         ParagraphLines(DecodeUtf8(piece), static_cast<size_t>(width), max_lines > 1)) {
      lines.push_back(std::move(line));
    }
    if (end == text.size()) break;
    start = end + 1;
  }
  if (static_cast<int>(lines.size()) > max_lines) lines.resize(static_cast<size_t>(max_lines));
  for (size_t line = 0; line < lines.size(); ++line) {
    const std::u32string& chars = lines[line];
    const int free = width - static_cast<int>(chars.size());
    int offset = 0;
    if (item.align == LayoutAlign::Right) offset = free;
    if (item.align == LayoutAlign::Center) offset = free / 2;
    for (size_t k = 0; k < chars.size(); ++k) {
      grid.Put(row + static_cast<int>(line), col + offset + static_cast<int>(k), chars[k]);
    }
  }
}

void DrawLine(Grid& grid, const LayoutItem& item, int row, int col, const LayoutTextGrid& cell) {
  if (item.w_mm >= item.h_mm) {
    const int width = std::max(1, Cells(item.w_mm, cell.column_mm));
    for (int k = 0; k < width; ++k) grid.Put(row, col + k, U'-');
  } else {
    const int height = std::max(1, Cells(item.h_mm, cell.row_mm));
    for (int k = 0; k < height; ++k) grid.Put(row + k, col, U'|');
  }
}

void DrawBox(Grid& grid, const LayoutItem& item, int row, int col, const LayoutTextGrid& cell) {
  const int width = std::max(2, Cells(item.w_mm, cell.column_mm));
  const int height = std::max(2, Cells(item.h_mm, cell.row_mm));
  const int right = col + width - 1;
  const int bottom = row + height - 1;
  for (int c = col + 1; c < right; ++c) {
    grid.Put(row, c, U'-');
    grid.Put(bottom, c, U'-');
  }
  for (int r = row + 1; r < bottom; ++r) {
    grid.Put(r, col, U'|');
    grid.Put(r, right, U'|');
  }
  for (const auto& [r, c] : {std::pair{row, col}, {row, right}, {bottom, col}, {bottom, right}}) {
    grid.Put(r, c, U'+');
  }
}

}  // namespace

void RenderTextPage(const Layout& layout, const Page& page, std::ostream& out) {
  const LayoutTextGrid& cell = layout.grid;
  Grid grid(static_cast<int>(std::floor(layout.page.BodyWidth() / cell.column_mm + 1e-9)));
  for (const PlacedSection& placed : page.sections) {
    const LayoutSection* section = layout.FindSection(placed.number);
    if (section == nullptr) continue;
    for (size_t i = 0; i < section->items.size(); ++i) {
      if (!placed.hidden.empty() && placed.hidden[i]) continue;
      const LayoutItem& item = section->items[i];
      const int row = Cells(placed.top_mm + item.y_mm, cell.row_mm);
      const int col = Cells(item.x_mm, cell.column_mm);
      switch (item.type) {
        case LayoutItemType::Text:
        case LayoutItemType::Label:
          DrawText(grid, item, placed.texts[i], row, col, cell);
          break;
        case LayoutItemType::Line:
          DrawLine(grid, item, row, col, cell);
          break;
        case LayoutItemType::Box:
          DrawBox(grid, item, row, col, cell);
          break;
      }
    }
  }
  grid.Write(out);
}

void RenderText(const Layout& layout, const std::vector<Page>& pages, std::ostream& out) {
  for (size_t i = 0; i < pages.size(); ++i) {
    if (i > 0) out << '\f';
    RenderTextPage(layout, pages[i], out);
  }
}

}  // namespace nrw
