// Draws printed pages on the layout's character grid (text_grid): one character per column_mm,
// one line per row_mm, from the body's top-left corner. Texts are wrapped and aligned within their
// width as the section's flow lays them out (section_flow.h), never cut; lines are runs of '-' (or
// '|'), boxes use '+', '-' and '|'. Pages are separated by a form feed.
#pragma once

#include <ostream>

#include "render/page_writer.h"

namespace nrw {

void RenderTextPage(const Layout& layout, const Page& page, std::ostream& out);

//! Pages one after the other, one page's grid at a time.
class TextPageWriter final : public PageWriter {
 public:
  //! The layout and the stream are borrowed.
  TextPageWriter(const Layout& layout, std::ostream& out) : layout_(layout), out_(out) {}
  void Draw(const Page& page) override;
  void Finish() override { out_.flush(); }

 private:
  const Layout& layout_;
  std::ostream& out_;
  int drawn_ = 0;
};

}  // namespace nrw
