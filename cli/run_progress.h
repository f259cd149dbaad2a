// What `nrw run` tells while a split run goes and when it ends: "Parte 1.234 de 20.000" with the
// time spent and the time left on a terminal, the same as JSON lines on a descriptor for programs
// (--progress-fd), and one summary line at the end.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

#include "nrwhost/session.h"
#include "progress_bar.h"

namespace nrw::cli {

class RunProgress {
 public:
  //! json_fd: a descriptor open for writing, or -1.
  RunProgress(ProgressBar& bar, int json_fd);

  //! A part is done: the bar and a "progress" and a "part" line.
  void Part(const PartResult& part, size_t done, size_t total);
  //! The "summary" line; for a split, also the summary line on stderr (and "Gerado:" per file
  //! under verbose).
  void Finish(const RunOptions& options, const RunResult& result, bool verbose);
  //! The run failed: an "error" line.
  void Failed(const std::string& message);

 private:
  void Json(const std::string& line);

  ProgressBar& bar_;
  int json_fd_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point last_drawn_ = {};
};

//! "1.234": a count with the thousands marked as Brazilians write them.
std::string Count(size_t count);

//! The folder of an output name pattern: its part before the first placeholder, up to its last
//! "/"; "." when none.
std::string PatternFolder(const std::string& pattern);

}  // namespace nrw::cli
