#include "nrwhost/trace.h"

#include "nrw/core.h"

namespace nrw {

TraceSink::~TraceSink() = default;

JsonLinesTraceWriter::JsonLinesTraceWriter(const std::string& path)
    : file_(std::make_unique<std::ofstream>(path, std::ios::binary | std::ios::trunc)),
      out_(file_.get()) {
  if (!*file_) throw Exception("Não foi possível criar o arquivo de rastro " + path + ".");
}

JsonLinesTraceWriter::JsonLinesTraceWriter(std::ostream& stream) : out_(&stream) {}

JsonLinesTraceWriter::~JsonLinesTraceWriter() { out_->flush(); }

void JsonLinesTraceWriter::Line(const std::string& json) { *out_ << json << '\n'; }

}  // namespace nrw
