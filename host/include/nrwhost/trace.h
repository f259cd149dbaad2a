// Application API: where a run's trace goes, one JSON object per line, in call order (the events
// are documented in docs/layouts.md). A sink is borrowed by the run; its owner keeps it alive.
#pragma once

#include <fstream>
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

//! Writes JSON Lines to a file (truncated when opened) or to a stream the caller owns.
class NRW_API JsonLinesTraceWriter : public TraceSink {
 public:
  //! Raises Exception when the file cannot be created.
  explicit JsonLinesTraceWriter(const std::string& path);
  explicit JsonLinesTraceWriter(std::ostream& stream);
  ~JsonLinesTraceWriter() override;
  void Line(const std::string& json) override;

 private:
  std::unique_ptr<std::ofstream> file_;
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
