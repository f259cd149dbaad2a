// Lines from a child's pipe, read without blocking past a deadline.
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace nrw::server {

class LineReader {
 public:
  //! fd is borrowed; lines longer than max_line end the stream (the child misbehaves).
  LineReader(int fd, size_t max_line) : fd_(fd), max_line_(max_line) {}

  //! The next line (without its newline); nullopt at the end of the stream, on a line too long,
  //! or when none came before timeout (then TimedOut() is true).
  std::optional<std::string> Next(std::chrono::milliseconds timeout);
  bool TimedOut() const { return timed_out_; }
  bool Ended() const { return ended_; }

 private:
  int fd_;
  size_t max_line_;
  std::string buffer_;
  bool timed_out_ = false;
  bool ended_ = false;
};

}  // namespace nrw::server
