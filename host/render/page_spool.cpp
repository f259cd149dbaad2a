#include "render/page_spool.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

#include "layout/page_count.h"
#include "nrw/core.h"

namespace nrw {
namespace {

[[noreturn]] void Fail(const char* what) {
  throw Exception(std::string("Falha no arquivo temporário das páginas (") + what + ").");
}

// A page as bytes: numbers in the machine's own layout (the file never leaves the process), texts
// and lists led by their length.
class PageEncoder {
 public:
  explicit PageEncoder(std::string& out) : out_(out) {}

  template <class T>
  void Put(T value) {
    static_assert(std::is_trivially_copyable_v<T>);
    out_.append(reinterpret_cast<const char*>(&value), sizeof value);
  }
  void PutSize(size_t size) { Put(static_cast<uint64_t>(size)); }

  void PutSection(const PlacedSection& section) {
    Put(section.number);
    Put(section.top_mm);
    Put(section.repeated);
    PutSize(section.texts.size());
    for (const std::string& text : section.texts) {
      PutSize(text.size());
      out_.append(text);
    }
    PutSize(section.hidden.size());
    for (const bool hidden : section.hidden) Put(hidden);
  }

 private:
  std::string& out_;
};

// Reads back what PageEncoder wrote; a page cut short is a failed read.
class PageDecoder {
 public:
  explicit PageDecoder(std::string_view in) : in_(in) {}

  template <class T>
  T Get() {
    T value;
    if (in_.size() < sizeof value) Fail("leitura");
    std::memcpy(&value, in_.data(), sizeof value);
    in_.remove_prefix(sizeof value);
    return value;
  }
  //! A length or a count: never more than the bytes left, as every element takes one at least.
  size_t GetSize() {
    const auto size = Get<uint64_t>();
    if (size > in_.size()) Fail("leitura");
    return static_cast<size_t>(size);
  }

  void GetSection(PlacedSection& section) {
    section.number = Get<int>();
    section.top_mm = Get<double>();
    section.repeated = Get<bool>();
    section.texts.resize(GetSize());
    for (std::string& text : section.texts) {
      const size_t size = GetSize();
      text.assign(in_.data(), size);
      in_.remove_prefix(size);
    }
    section.hidden.resize(GetSize());
    for (size_t h = 0; h < section.hidden.size(); ++h) section.hidden[h] = Get<bool>();
  }

 private:
  std::string_view in_;
};

}  // namespace

PageSpool::PageSpool(const Layout& layout) : layout_(layout) {}

namespace {

// Roughly what a kept page takes: its texts and their flowed lines, and the pieces around them.
size_t PageBytes(const Page& page) {
  size_t bytes = sizeof(Page);
  for (const PlacedSection& section : page.sections) {
    bytes += sizeof(PlacedSection) + section.flow.items.size() * 64;
    for (const std::string& text : section.texts) bytes += 2 * text.size() + 32;
  }
  return bytes;
}

}  // namespace

// The flow is left out of the file: flowing the texts again when the page is drawn costs less than
// writing the lines and reading them back (bench/README.md), and the sections that print the count
// must be flowed again anyway.
void PageSpool::Write(const Page& page) {
  if (!file_) {
    file_.reset(std::tmpfile());
    if (!file_) Fail(std::strerror(errno));
  }
  buffer_.clear();
  PageEncoder encoder(buffer_);
  encoder.Put(page.number);
  encoder.Put(page.group_page);
  encoder.PutSize(page.sections.size());
  for (const PlacedSection& section : page.sections) encoder.PutSection(section);
  const auto size = static_cast<uint64_t>(buffer_.size());
  if (std::fwrite(&size, sizeof size, 1, file_.get()) != 1 ||
      std::fwrite(buffer_.data(), 1, buffer_.size(), file_.get()) != buffer_.size()) {
    Fail("gravação");
  }
}

void PageSpool::PageDone(Page&& page) {
  group_pages_.push_back(page.group_page);
  ++count_;
  if (!file_) {
    kept_bytes_ += PageBytes(page);
    if (kept_bytes_ <= kInMemoryBytes) {
      pages_.push_back(std::move(page));
    } else {
      for (const Page& kept : pages_) Write(kept);
      std::vector<Page>().swap(pages_);
      Write(page);
    }
  } else {
    Write(page);
  }
}

void PageSpool::Read(size_t size) {
  buffer_.resize(size);
  if (std::fread(buffer_.data(), 1, size, file_.get()) != size) Fail("leitura");
}

void PageSpool::Replay(PageWriter& writer) {
  const std::vector<int> groups = GroupPageCounts(group_pages_);
  if (!file_) {
    for (size_t i = 0; i < pages_.size(); ++i) {
      Page& page = pages_[i];
      for (PlacedSection& section : page.sections) {
        if (ReplacePageCountMarkers(section, {count_, groups[i]})) FlowAgain(layout_, section);
      }
      writer.Draw(page);
    }
    return;
  }
  if (std::fflush(file_.get()) != 0 || std::fseek(file_.get(), 0, SEEK_SET) != 0) {
    Fail("leitura");
  }
  Page page;
  for (int i = 0; i < count_; ++i) {
    Read(sizeof(uint64_t));
    uint64_t size = 0;
    std::memcpy(&size, buffer_.data(), sizeof size);
    Read(static_cast<size_t>(size));
    PageDecoder decoder(buffer_);
    page.number = decoder.Get<int>();
    page.group_page = decoder.Get<int>();
    page.sections.resize(decoder.GetSize());
    for (PlacedSection& section : page.sections) {
      decoder.GetSection(section);
      ReplacePageCountMarkers(section, {count_, groups[static_cast<size_t>(i)]});
      FlowAgain(layout_, section);
    }
    writer.Draw(page);
  }
}

}  // namespace nrw
