#include "render/page_spool.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

#include "nrw/core.h"

namespace nrw {
namespace {

void Fail(const char* what) {
  throw Exception(std::string("Falha no arquivo temporário das páginas (") + what + ").");
}

void Put(std::FILE* file, const void* data, size_t size) {
  if (size > 0 && std::fwrite(data, 1, size, file) != size) Fail("gravação");
}

void Get(std::FILE* file, void* data, size_t size) {
  if (size > 0 && std::fread(data, 1, size, file) != size) Fail("leitura");
}

void PutSize(std::FILE* file, size_t value) {
  const auto size = static_cast<uint64_t>(value);
  Put(file, &size, sizeof size);
}

size_t GetSize(std::FILE* file) {
  uint64_t size = 0;
  Get(file, &size, sizeof size);
  return static_cast<size_t>(size);
}

}  // namespace

PageSpool::PageSpool() : file_(std::tmpfile()) {
  if (!file_) Fail(std::strerror(errno));
}

void PageSpool::PageDone(const Page& page) {
  std::FILE* file = file_.get();
  Put(file, &page.number, sizeof page.number);
  PutSize(file, page.sections.size());
  for (const PlacedSection& section : page.sections) {
    Put(file, &section.number, sizeof section.number);
    Put(file, &section.top_mm, sizeof section.top_mm);
    PutSize(file, section.texts.size());
    for (const std::string& text : section.texts) {
      PutSize(file, text.size());
      Put(file, text.data(), text.size());
    }
    PutSize(file, section.hidden.size());
    for (const bool hidden : section.hidden) Put(file, &hidden, sizeof hidden);
  }
  ++count_;
}

void PageSpool::Replay(PageWriter& writer) {
  std::FILE* file = file_.get();
  if (std::fflush(file) != 0 || std::fseek(file, 0, SEEK_SET) != 0) Fail("leitura");
  for (int i = 0; i < count_; ++i) {
    Page page;
    Get(file, &page.number, sizeof page.number);
    page.sections.resize(GetSize(file));
    for (PlacedSection& section : page.sections) {
      Get(file, &section.number, sizeof section.number);
      Get(file, &section.top_mm, sizeof section.top_mm);
      section.texts.resize(GetSize(file));
      for (std::string& text : section.texts) {
        text.resize(GetSize(file));
        Get(file, text.data(), text.size());
      }
      section.hidden.resize(GetSize(file));
      for (size_t h = 0; h < section.hidden.size(); ++h) {
        bool hidden = false;
        Get(file, &hidden, sizeof hidden);
        section.hidden[h] = hidden;
      }
    }
    writer.Draw(HoldsMarker(page) ? WithPageCount(page, count_) : page);
  }
}

}  // namespace nrw
