#include "progress_bar.h"

#include <unistd.h>

#include <cstdio>

namespace nrw::cli {

ProgressBar::ProgressBar() : enabled_(isatty(STDERR_FILENO) == 1) {}

ProgressBar::~ProgressBar() { Clear(); }

void ProgressBar::Clear() {
  if (drawn_) std::fputs("\r\033[K", stderr);
  drawn_ = false;
}

void ProgressBar::Update(const std::string& caption, int position, int total) {
  if (!enabled_) return;
  const int percent = total > 0 ? (100 * position) / total : -1;
  if (percent == last_percent_ && total > 0) return;
  last_percent_ = percent;
  constexpr int kWidth = 30;
  const int filled = total > 0 ? (kWidth * position) / total : 0;
  std::string bar(static_cast<size_t>(filled), '#');
  bar.resize(kWidth, '.');
  if (total > 0) {
    std::fprintf(stderr, "\r\033[K[%s] %3d%% %s", bar.c_str(), percent, caption.c_str());
  } else {
    std::fprintf(stderr, "\r\033[K%s %d", caption.c_str(), position);
  }
  std::fflush(stderr);
  drawn_ = true;
}

}  // namespace nrw::cli
