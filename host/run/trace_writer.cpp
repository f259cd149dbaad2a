#include <filesystem>

#include "nrw/core.h"
#include "nrwhost/files.h"
#include "nrwhost/trace.h"
#include "run/commit_journal.h"
#include "run/file_writer.h"
#include "run/output_files.h"
#include "run/temp_file.h"

namespace nrw {

struct JsonLinesTraceWriter::File {
  std::string path;
  TempFile temp;
  FdWriter writer;
  explicit File(const std::string& target) : path(target), temp(target), writer(temp.Fd()) {}
};

JsonLinesTraceWriter::JsonLinesTraceWriter(const std::string& path,
                                           const std::vector<std::string>& protected_files) {
  CheckOutputTarget(path, protected_files);
  SweepFolder(std::filesystem::path(path).parent_path().string());
  file_ = std::make_unique<File>(path);
  out_ = &file_->writer.Stream();
}

JsonLinesTraceWriter::JsonLinesTraceWriter(std::ostream& stream) : out_(&stream) {}

JsonLinesTraceWriter::~JsonLinesTraceWriter() {
  if (file_ == nullptr) out_->flush();
}

void JsonLinesTraceWriter::Line(const std::string& json) { *out_ << json << '\n'; }

void JsonLinesTraceWriter::Commit() {
  if (file_ == nullptr) {
    out_->flush();
    return;
  }
  file_->writer.Finish(file_->path, true);
  FilePlacement placement(file_->temp, file_->path);
  placement.Place();
  placement.Settle();
}

}  // namespace nrw
