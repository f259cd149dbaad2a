// Finished pages kept on disk until the document's page count is known: a layout that prints
// "[@PAGINAS]" cannot draw a page before the last one is printed, and a document of tens of
// thousands of pages must not be held in memory meanwhile. A page is kept as its texts; its
// sections are flowed again, with the count in place, when it is drawn. A short document stays in
// memory; past kInMemoryBytes the spool moves to an unnamed temporary file (removed by the system
// whatever happens to the process, readable by nobody else).
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
  void PageDone(const Page& page) override;
  int Count() const { return count_; }
  //! Draws every spooled page, in order, with the count in place of the marker.
  void Replay(PageWriter& writer);

 private:
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  //! Keeps the bytes: in memory, or in the file once there are too many. Raises Exception when
  //! no temporary file can be made or written.
  void Keep(const void* data, size_t size);
  //! The next size bytes kept, into buffer_.
  void Read(size_t size);

  const Layout& layout_;
  std::string memory_;
  size_t read_at_ = 0;
  std::unique_ptr<std::FILE, FileCloser> file_;
  //! One page's bytes, reused from page to page.
  std::string buffer_;
  //! Each page's number within its group, for the groups' counts.
  std::vector<int> group_pages_;
  int count_ = 0;
};

}  // namespace nrw
