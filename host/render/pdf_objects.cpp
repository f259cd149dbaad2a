#include "render/pdf_objects.h"

#include <fmt/format.h>

#include <cmath>

#include "nrw/core.h"
#include "util/utf8.h"

namespace nrw {

PdfObjects::PdfObjects(std::ostream& out) : out_(out) {
  // The binary comment tells transfer programs that the file is not text.
  Put("%PDF-1.7\n%\xE2\xE3\xCF\xD3\n");
}

void PdfObjects::Put(std::string_view bytes) {
  out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  offset_ += bytes.size();
}

int PdfObjects::Reserve() {
  offsets_.push_back(0);
  return static_cast<int>(offsets_.size());
}

void PdfObjects::Write(int number, std::string_view body) {
  offsets_.at(number - 1) = offset_;
  Put(fmt::format("{} 0 obj\n", number));
  Put(body);
  Put("\nendobj\n");
}

PdfObjects::Deflater::Deflater() {
  // Content is mostly repeated captions and numbers: the fastest level already halves it.
  if (deflateInit(&stream, Z_BEST_SPEED) != Z_OK) {
    throw Exception("Memória insuficiente para comprimir o documento PDF.");
  }
}

PdfObjects::Deflater::~Deflater() { deflateEnd(&stream); }

void PdfObjects::WriteStream(int number, std::string_view entries, std::string_view data) {
  z_stream& z = deflater_.stream;
  deflateReset(&z);
  compressed_.resize(deflateBound(&z, static_cast<uLong>(data.size())));
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(compressed_.data());
  z.avail_out = static_cast<uInt>(compressed_.size());
  if (deflate(&z, Z_FINISH) != Z_STREAM_END) throw Exception("Falha ao comprimir o documento PDF.");
  const size_t size = compressed_.size() - z.avail_out;
  offsets_.at(number - 1) = offset_;
  Put(fmt::format("{} 0 obj\n<< {} /Filter /FlateDecode /Length {} >>\nstream\n", number, entries,
                  size));
  Put(std::string_view(compressed_.data(), size));
  Put("\nendstream\nendobj\n");
}

void PdfObjects::Finish(int catalog, int info) {
  const uint64_t xref = offset_;
  std::string table = fmt::format("xref\n0 {}\n0000000000 65535 f \n", offsets_.size() + 1);
  for (const uint64_t offset : offsets_) {
    if (offset == 0) throw Exception("Documento PDF incompleto: objeto reservado e não escrito.");
    table += fmt::format("{:010} 00000 n \n", offset);
  }
  table += fmt::format("trailer\n<< /Size {} /Root {} 0 R /Info {} 0 R >>\nstartxref\n{}\n%%EOF\n",
                       offsets_.size() + 1, catalog, info, xref);
  Put(table);
}

std::string PdfTextString(std::string_view utf8) {
  bool plain = true;
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte > 0x7E || c == '(' || c == ')' || c == '\\') plain = false;
  }
  if (plain) return "(" + std::string(utf8) + ")";
  std::string hex = "<FEFF";
  for (const char32_t code : DecodeUtf8(utf8)) AppendUtf16Hex(hex, code);
  return hex + ">";
}

void AppendUtf16Hex(std::string& out, char32_t code) {
  if (code > 0xFFFF) {
    const char32_t v = code - 0x10000;
    fmt::format_to(std::back_inserter(out), "{:04X}{:04X}", 0xD800 + (v >> 10),
                   0xDC00 + (v & 0x3FF));
  } else {
    fmt::format_to(std::back_inserter(out), "{:04X}", static_cast<unsigned>(code));
  }
}

void AppendPdfNumber(std::string& out, double value) {
  const long long hundredths = std::llround(value * 100);
  const long long whole = hundredths / 100;
  const long long part = std::llabs(hundredths % 100);
  if (hundredths < 0 && whole == 0) out += '-';
  fmt::format_to(std::back_inserter(out), "{}", whole);
  if (part != 0) {
    out += '.';
    out += static_cast<char>('0' + part / 10);
    if (part % 10 != 0) out += static_cast<char>('0' + part % 10);
  }
}

}  // namespace nrw
