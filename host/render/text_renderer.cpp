#include "render/text_renderer.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "layout/page_walk.h"
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

// The items in characters: texts cell by cell, lines as runs of '-' or '|', boxes with '+' corners.
class GridPainter final : public PageVisitor {
 public:
  explicit GridPainter(Grid& grid) : grid_(grid) {}

  void TextLine(const PlacedItem& at, const FlowLine& line) override {
    for (size_t k = 0; k < line.text.size(); ++k) {
      grid_.Put(at.top_row + line.row, line.col + static_cast<int>(k), line.text[k]);
    }
  }

  void Line(const PlacedItem& at) override {
    const ItemFlow& placed = at.flow;
    const int row = at.top_row + placed.row;
    if (at.box.horizontal) {
      for (int k = 0; k < placed.cols; ++k) grid_.Put(row, placed.col + k, U'-');
    } else {
      for (int k = 0; k < placed.rows; ++k) grid_.Put(row + k, placed.col, U'|');
    }
  }

  void Box(const PlacedItem& at) override {
    const ItemFlow& placed = at.flow;
    const int row = at.top_row + placed.row;
    const int col = placed.col;
    const int right = col + placed.cols - 1;
    const int bottom = row + placed.rows - 1;
    for (int c = col + 1; c < right; ++c) {
      grid_.Put(row, c, U'-');
      grid_.Put(bottom, c, U'-');
    }
    for (int r = row + 1; r < bottom; ++r) {
      grid_.Put(r, col, U'|');
      grid_.Put(r, right, U'|');
    }
    for (const auto& [r, c] : {std::pair{row, col}, {row, right}, {bottom, col}, {bottom, right}}) {
      grid_.Put(r, c, U'+');
    }
  }

 private:
  Grid& grid_;
};

}  // namespace

void RenderTextPage(const Layout& layout, const Page& page, std::ostream& out) {
  Grid grid(static_cast<int>(std::floor(layout.page.BodyWidth() / layout.grid.column_mm + 1e-9)));
  GridPainter painter(grid);
  WalkPage(layout, page, painter);
  grid.Write(out);
}

void TextPageWriter::Draw(const Page& page) {
  if (drawn_++ > 0) out_ << '\f';
  RenderTextPage(layout_, page, out_);
}

}  // namespace nrw
