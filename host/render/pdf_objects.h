// The file structure of a PDF written front to back onto a stream: numbered objects whose byte
// offsets are kept for the cross-reference table, streams compressed with Flate, and the trailer.
// Numbers are reserved before an object is written, so that a page can name a font that is
// written only when the document ends.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace nrw {

class PdfObjects {
 public:
  //! Writes the header; the stream is borrowed.
  explicit PdfObjects(std::ostream& out);

  int Reserve();
  //! Writes "n 0 obj <body> endobj" for a reserved number.
  void Write(int number, std::string_view body);
  //! Writes a stream object: dictionary entries (without the brackets) and the data, compressed.
  void WriteStream(int number, std::string_view entries, std::string_view data);
  //! The cross-reference table and the trailer; every reserved number must have been written.
  void Finish(int catalog, int info);

 private:
  void Put(std::string_view bytes);

  std::ostream& out_;
  uint64_t offset_ = 0;
  std::vector<uint64_t> offsets_;  // per object number - 1; 0 while not written
  std::string compressed_;
  // One compressor for every stream of the document: making one costs a quarter of a megabyte,
  // cleared, which is more than compressing a page.
  struct Deflater {
    Deflater();
    ~Deflater();
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;
    z_stream stream{};
  };
  Deflater deflater_;
};

//! A text as a PDF text string: literal when plain ASCII, else UTF-16BE in hex.
std::string PdfTextString(std::string_view utf8);

//! The code point in UTF-16BE as hex digits (a surrogate pair above U+FFFF), for hex strings.
void AppendUtf16Hex(std::string& out, char32_t code);

//! A number for a content stream or a dictionary: at most two decimals, no trailing zeros.
void AppendPdfNumber(std::string& out, double value);

}  // namespace nrw
