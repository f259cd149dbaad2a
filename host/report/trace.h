// Where the engine's trace goes: one JSON object per line, in call order (the events are built by
// trace_events.h). A sink is borrowed by the engine; its owner keeps it alive during the run.
#pragma once

#include <fstream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace nrw {

class TraceSink {
 public:
  virtual ~TraceSink();
  //! One complete JSON object, without the line end.
  virtual void Line(const std::string& json) = 0;
};

//! Writes JSON Lines to a file (truncated when opened) or to a stream the caller owns.
class JsonLinesTraceWriter : public TraceSink {
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
class TraceCollector : public TraceSink {
 public:
  void Line(const std::string& json) override { lines_.push_back(json); }
  const std::vector<std::string>& Lines() const { return lines_; }
  void Clear() { lines_.clear(); }

 private:
  std::vector<std::string> lines_;
};

}  // namespace nrw
