// Printed pages as one self-contained HTML document: one block per page in the layout's sheet,
// items placed in millimetres where the section flow puts them, lines and boxes as borders, and
// print CSS so that a browser prints page for page. Nothing is clipped: a text wider than its item
// shows whole. The faces are embedded (render/html_faces.h), after the pages, once every character
// is known. The writer borrows the layout, the stream and the faces.
#pragma once

#include <ostream>

#include "render/html_faces.h"
#include "render/page_writer.h"
#include "render/pdf_faces.h"

namespace nrw {

class HtmlPageWriter final : public PageWriter {
 public:
  //! Writes the document's head. The faces are the run's (borrowed); nullptr: its own.
  HtmlPageWriter(const Layout& layout, std::ostream& out, PdfFaces* faces = nullptr);
  void Draw(const Page& page) override;
  //! Writes the faces and the document's end; raises Exception when a face cannot be embedded.
  void Finish() override;

 private:
  const Layout& layout_;
  std::ostream& out_;
  PdfFaces own_faces_;
  HtmlFaces faces_;
};

}  // namespace nrw
