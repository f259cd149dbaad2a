// Finished pages kept on disk until the document's page count is known: a layout that prints
// "[@PAGINAS]" cannot draw a page before the last one is printed, and a document of tens of
// thousands of pages must not be held in memory meanwhile. A page is kept as its texts; its
// sections are flowed again, with the count in place, when it is drawn. A short document (one
// separated part) stays in memory as its pages, flowed: only the sections that print a count are
// flowed again. Past kInMemoryBytes the spool moves to an unnamed temporary file (removed by the
// system whatever happens to the process, readable by nobody else).
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "layout/layout.h"
#include "layout/page_model.h"
#include "render/page_writer.h"

namespace nrw {

class PageSpool final : public PageSink {
 public:
  static constexpr size_t kInMemoryBytes = 4 << 20;

  //! The layout is borrowed.
  explicit PageSpool(const Layout& layout);
  void PageDone(Page&& page) override;
  int Count() const { return count_; }
  //! Draws every spooled page, in order, with the count in place of the marker.
  void Replay(PageWriter& writer);

 private:
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  //! Writes the page to the file, made when there is none. Raises Exception when no temporary
  //! file can be made or written.
  void Write(const Page& page);
  //! The next size bytes of the file, into buffer_.
  void Read(size_t size);

  const Layout& layout_;
  //! The pages while the document is short; the file holds them all once it is not.
  std::vector<Page> pages_;
  size_t kept_bytes_ = 0;
  std::unique_ptr<std::FILE, FileCloser> file_;
  //! One page's bytes, reused from page to page.
  std::string buffer_;
  //! Each page's number within its group, for the groups' counts.
  std::vector<int> group_pages_;
  int count_ = 0;
};

}  // namespace nrw
