// Printed pages as one self-contained HTML document: one block per page in the layout's sheet,
// items placed in millimetres where the section flow puts them, lines and boxes as borders, and
// print CSS so that a browser prints page for page. Nothing is clipped: a text wider than its item
// shows whole. The writer borrows the layout and the stream.
#pragma once

#include <ostream>

#include "render/page_writer.h"

namespace nrw {

class HtmlPageWriter final : public PageWriter {
 public:
  //! Writes the document's head.
  HtmlPageWriter(const Layout& layout, std::ostream& out);
  void Draw(const Page& page) override;
  //! Writes the document's end.
  void Finish() override;

 private:
  const Layout& layout_;
  std::ostream& out_;
};

}  // namespace nrw
