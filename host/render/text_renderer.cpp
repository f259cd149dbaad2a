#include "render/text_renderer.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "layout/section_flow.h"
#include "util/utf8.h"

namespace nrw {
namespace {

// The page as rows of characters, one block for all of them; drawn row by row into one buffer.
class Grid {
 public:
  explicit Grid(int width) : width_(static_cast<size_t>(std::max(width, 1))) {}

  void Put(int row, int col, char32_t c) {
    if (row < 0 || col < 0 || static_cast<size_t>(col) >= width_) return;
    const size_t at = static_cast<size_t>(row) * width_ + static_cast<size_t>(col);
    if (at >= cells_.size()) Grow(static_cast<size_t>(row) + 1);
    cells_[at] = c;
  }

  void Write(std::ostream& out) const {
    std::string text;
    text.reserve(cells_.size() * 2);
    for (size_t start = 0; start < cells_.size(); start += width_) {
      size_t end = start + width_;
      while (end > start && cells_[end - 1] == U' ') --end;
      // Room for the longest encoding, cut to what was written.
      const size_t at = text.size();
      text.resize(at + 4 * (end - start) + 1);
      char* byte = text.data() + at;
      for (size_t i = start; i < end; ++i) {
        if (cells_[i] < 0x80) {
          *byte++ = static_cast<char>(cells_[i]);
        } else {
          byte = WriteUtf8(byte, cells_[i]);
        }
      }
      *byte++ = '\n';
      text.resize(static_cast<size_t>(byte - text.data()));
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
  }

 private:
  void Grow(size_t rows) { cells_.resize(rows * width_, U' '); }

  size_t width_;
  std::vector<char32_t> cells_;
};

void DrawLine(Grid& grid, const LayoutItem& item, const ItemFlow& placed, int top) {
  const int row = top + placed.row;
  if (item.w_mm >= item.h_mm) {
    for (int k = 0; k < placed.cols; ++k) grid.Put(row, placed.col + k, U'-');
  } else {
    for (int k = 0; k < placed.rows; ++k) grid.Put(row + k, placed.col, U'|');
  }
}

void DrawBox(Grid& grid, const ItemFlow& placed, int top) {
  const int row = top + placed.row;
  const int col = placed.col;
  const int right = col + placed.cols - 1;
  const int bottom = row + placed.rows - 1;
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
    const SectionFlow& flow = placed.flow;
    const int top = GridCells(placed.top_mm, cell.row_mm);
    for (size_t i = 0; i < section->items.size(); ++i) {
      if (!placed.hidden.empty() && placed.hidden[i]) continue;
      const LayoutItem& item = section->items[i];
      const ItemFlow& item_flow = flow.items[i];
      switch (item.type) {
        case LayoutItemType::Text:
        case LayoutItemType::Label:
          for (const FlowLine& line : item_flow.lines) {
            for (size_t k = 0; k < line.text.size(); ++k) {
              grid.Put(top + line.row, line.col + static_cast<int>(k), line.text[k]);
            }
          }
          break;
        case LayoutItemType::Line:
          DrawLine(grid, item, item_flow, top);
          break;
        case LayoutItemType::Box:
          DrawBox(grid, item_flow, top);
          break;
      }
    }
  }
  grid.Write(out);
}

void TextPageWriter::Draw(const Page& page) {
  if (drawn_++ > 0) out_ << '\f';
  RenderTextPage(layout_, page, out_);
}

}  // namespace nrw
