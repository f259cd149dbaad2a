// One interface for every renderer: a document is begun on a stream, its pages are drawn one by one
// and it is ended. Pages reach the writer with the document's page count in place of the marker
// that "[@PAGINAS]" leaves (WithPageCount).
#pragma once

#include <memory>
#include <ostream>
#include <string_view>
#include <vector>

#include "layout/layout.h"
#include "layout/page_count.h"
#include "layout/page_model.h"
#include "nrwhost/output_format.h"
#include "render/pdf_faces.h"

namespace nrw {

class PageWriter {
 public:
  virtual ~PageWriter();
  virtual void Draw(const Page& page) = 0;
  //! Ends the document. A stream that failed is the caller's to report (it knows the file); a
  //! document that could not be made raises Exception.
  virtual void Finish() = 0;
};

//! A writer of the format on the stream; the layout, the stream and the faces (those of the run,
//! for PDF; nullptr: the document's own) are borrowed.
std::unique_ptr<PageWriter> MakePageWriter(OutputFormat format, const Layout& layout,
                                           std::ostream& out, PdfFaces* faces = nullptr);

//! Every page, with their count, as one document.
void WritePages(OutputFormat format, const Layout& layout, const std::vector<Page>& pages,
                std::ostream& out, PdfFaces* faces = nullptr);

}  // namespace nrw
