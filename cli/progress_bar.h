// A progress bar on stderr, drawn only when stderr is a terminal.
#pragma once

#include <string>

namespace nrw::cli {

class ProgressBar {
 public:
  ProgressBar();
  ~ProgressBar();
  bool Enabled() const { return enabled_; }
  void Update(const std::string& caption, int position, int total);
  //! Erases the bar, so that messages start on a clean line.
  void Clear();

 private:
  bool enabled_;
  bool drawn_ = false;
  int last_percent_ = -1;
};

}  // namespace nrw::cli
