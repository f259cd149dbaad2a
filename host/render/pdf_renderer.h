// Printed pages drawn as a PDF document: every page in the layout's sheet and orientation, texts in
// the layout's fonts (embedded as subsets, render/pdf_font), lines and boxes as strokes. The file
// is written directly (render/pdf_objects): a page is two objects and its content is a few
// operators per text, which is what makes thousands of statements an affair of seconds. Items take
// the places the section flow gives them, so that the PDF grows exactly where the text output
// grows; within its place a text is aligned in millimetres, and a line of text wider than its item
// at the item's size is drawn smaller, never cut. Pages are written to the stream as they are
// drawn; the writer borrows the layout and the stream.
#pragma once

#include <memory>
#include <ostream>

#include "render/page_writer.h"
#include "render/pdf_faces.h"

namespace nrw {

class PdfPageWriter final : public PageWriter {
 public:
  //! Starts a document on the stream (its header is written at once). The faces are the run's
  //! (borrowed); nullptr: the document finds its own.
  PdfPageWriter(const Layout& layout, std::ostream& out, PdfFaces* faces = nullptr);
  ~PdfPageWriter() override;
  PdfPageWriter(const PdfPageWriter&) = delete;
  PdfPageWriter& operator=(const PdfPageWriter&) = delete;

  void Draw(const Page& page) override;
  //! Ends the document: the fonts, the page tree and the cross-reference table. Raises Exception
  //! when a font cannot be embedded. A document not finished is left incomplete.
  void Finish() override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace nrw
