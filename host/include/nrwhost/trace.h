// Application API: where a run's trace goes, one JSON object per line, in call order (the events
// are documented in docs/layouts.md). A sink is borrowed by the run; its owner keeps it alive.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "nrw/api.h"

namespace nrw {

class NRW_API TraceSink {
 public:
  virtual ~TraceSink();
  //! One complete JSON object, without the line end.
  virtual void Line(const std::string& json) = 0;
};

//! Writes JSON Lines to a file or to a stream the caller owns. A file is written like any output
//! (files.h): under a temporary name beside it, put in place by Commit; until then, and when Commit
//! is never called, the file keeps what it held.
class NRW_API JsonLinesTraceWriter : public TraceSink {
 public:
  //! Raises UsageError when path may not be written (CheckOutputTarget with protected_files).
  JsonLinesTraceWriter(const std::string& path, const std::vector<std::string>& protected_files);
  explicit JsonLinesTraceWriter(std::ostream& stream);
  ~JsonLinesTraceWriter() override;
  void Line(const std::string& json) override;
  //! Puts the trace file in place; raises Exception when a line could not be written.
  void Commit();

 private:
  struct File;
  std::unique_ptr<File> file_;
  std::ostream* out_;
};

//! Keeps the lines in memory (tests).
class NRW_API TraceCollector : public TraceSink {
 public:
  void Line(const std::string& json) override { lines_.push_back(json); }
  const std::vector<std::string>& Lines() const { return lines_; }
  void Clear() { lines_.clear(); }

 private:
  std::vector<std::string> lines_;
};

}  // namespace nrw
