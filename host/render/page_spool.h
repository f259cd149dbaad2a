// Finished pages kept on disk until the document's page count is known: a layout that prints
// "[@PAGINAS]" cannot draw a page before the last one is printed, and a document of tens of
// thousands of pages must not be held in memory meanwhile. The spool is an unnamed temporary file
// (removed by the system whatever happens to the process, readable by nobody else).
#pragma once

#include <cstdio>
#include <memory>

#include "layout/page_model.h"
#include "render/page_writer.h"

namespace nrw {

class PageSpool final : public PageSink {
 public:
  //! Raises Exception when no temporary file can be made.
  PageSpool();
  void PageDone(const Page& page) override;
  int Count() const { return count_; }
  //! Draws every spooled page, in order, with the count in place of the marker.
  void Replay(PageWriter& writer);

 private:
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::unique_ptr<std::FILE, FileCloser> file_;
  int count_ = 0;
};

}  // namespace nrw
