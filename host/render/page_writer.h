// One interface for every renderer: a document is begun on a stream, its pages are drawn one by one
// and it is ended. Pages reach the writer with the document's page count in place of the marker
// that "[@PAGINAS]" leaves (WithPageCount). Nothing here is of one format: what a format needs
// stays behind its own writer.
#pragma once

#include <memory>
#include <ostream>
#include <vector>

#include "layout/layout.h"
#include "layout/page_count.h"
#include "layout/page_model.h"
#include "nrwhost/output_format.h"

namespace nrw {

class PageWriter {
 public:
  virtual ~PageWriter();
  virtual void Draw(const Page& page) = 0;
  //! Ends the document. A stream that failed is the caller's to report (it knows the file); a
  //! document that could not be made raises Exception.
  virtual void Finish() = 0;
  //! Whether the document shows the page count: when it does not, pages need not wait for it.
  virtual bool ShowsPageCount() const { return true; }
};

//! What the writers of one run share, so that every document of the run reuses it: the faces of
//! the PDF documents today, found and read once for all of them (and only when a PDF is written).
//! Opaque: each writer reaches its own part (render/writer_resources.h).
class WriterResources {
 public:
  WriterResources();
  ~WriterResources();
  WriterResources(const WriterResources&) = delete;
  WriterResources& operator=(const WriterResources&) = delete;

  struct Parts;
  Parts& Get() { return *parts_; }

 private:
  std::unique_ptr<Parts> parts_;
};

//! A writer of the format on the stream; the layout, the stream and the resources (those of the
//! run; nullptr: the document's own) are borrowed.
std::unique_ptr<PageWriter> MakePageWriter(OutputFormat format, const Layout& layout,
                                           std::ostream& out, WriterResources* resources = nullptr);

//! Every page, with their count, as one document; then the pages that follow them uncounted (the
//! message page).
void WritePages(OutputFormat format, const Layout& layout, const std::vector<Page>& pages,
                std::ostream& out, WriterResources* resources = nullptr,
                const std::vector<Page>& after = {});

}  // namespace nrw
