// A PDF written by the host read back with qpdf, for tests that check the file as a reader sees it:
// qpdf reports an offset, a length or a reference that does not hold as a warning.
#pragma once

#include <memory>
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <string>
#include <vector>

namespace render_test {

class ParsedPdf {
 public:
  explicit ParsedPdf(std::string bytes) : bytes_(std::move(bytes)) {
    pdf_.setSuppressWarnings(true);
    pdf_.processMemoryFile("teste.pdf", bytes_.data(), bytes_.size());
  }

  QPDF& Pdf() { return pdf_; }
  //! What qpdf had to repair or could not read; empty for a sound file.
  std::vector<std::string> Warnings() {
    std::vector<std::string> texts;
    for (const QPDFExc& warning : pdf_.getWarnings()) texts.push_back(warning.what());
    return texts;
  }
  QPDFObjectHandle Object(int number) { return pdf_.getObjectByID(number, 0); }
  //! A stream's data with its filters undone.
  static std::string Data(QPDFObjectHandle stream) {
    const std::shared_ptr<Buffer> buffer = stream.getStreamData(qpdf_dl_generalized);
    return std::string(reinterpret_cast<const char*>(buffer->getBuffer()), buffer->getSize());
  }

 private:
  std::string bytes_;
  QPDF pdf_;
};

}  // namespace render_test
