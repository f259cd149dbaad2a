// One interface for every renderer: a document is begun on a stream, its pages are drawn one by one
// and it is ended. Pages reach the writer with the document's page count in place of the marker
// that "[@PAGINAS]" leaves (WithPageCount).
#pragma once

#include <memory>
#include <ostream>
#include <string_view>
#include <vector>

#include "nrwhost/output_format.h"
#include "render/pdf_faces.h"
#include "report/layout.h"
#include "report/page_model.h"

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

//! What "[@PAGINAS]" prints until the document's page count is known: as wide as four digits, so
//! that the count never makes a text wider than the engine measured it.
inline constexpr std::string_view kPageCountMarker =
    "\xEE\x80\x80\xEE\x80\x80\xEE\x80\x80\xEE\x80\x80";

//! Whether an item of the layout prints the page count ("[@PAGINAS]").
bool CountsPages(const Layout& layout);

//! Whether a text of the page holds the marker.
bool HoldsMarker(const Page& page);

//! The page with the count in place of every marker.
Page WithPageCount(const Page& page, int count);

//! Every page, with their count, as one document.
void WritePages(OutputFormat format, const Layout& layout, const std::vector<Page>& pages,
                std::ostream& out, PdfFaces* faces = nullptr);

}  // namespace nrw
