// Printed pages drawn as a PDF document through cairo and pango: every page in the layout's sheet
// and orientation, texts in the layout's fonts (embedded as subsets), lines and boxes as strokes.
// Items take the places the section flow gives them, so that the PDF grows exactly where the text
// output grows; within its place a text is aligned in millimetres, and a line of text wider than
// its item at the item's size is drawn smaller, never cut. Pages are written to the stream as they
// are drawn; the writer owns the cairo surface and borrows the layout and the stream.
#pragma once

#include <memory>
#include <ostream>

#include "report/layout.h"
#include "report/page_model.h"

namespace nrw {

class PdfPageWriter {
 public:
  //! Starts a document on the stream. Raises Exception when cairo cannot make one.
  PdfPageWriter(const Layout& layout, std::ostream& out);
  ~PdfPageWriter();
  PdfPageWriter(const PdfPageWriter&) = delete;
  PdfPageWriter& operator=(const PdfPageWriter&) = delete;

  void Draw(const Page& page);
  //! Ends the document; raises Exception when cairo or the stream failed. Without it the
  //! destructor ends the document quietly.
  void Finish();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace nrw
