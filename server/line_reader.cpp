#include "line_reader.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace nrw::server {

std::optional<std::string> LineReader::Next(std::chrono::milliseconds timeout) {
  timed_out_ = false;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (true) {
    const size_t newline = buffer_.find('\n');
    if (newline != std::string::npos) {
      std::string line = buffer_.substr(0, newline);
      buffer_.erase(0, newline + 1);
      return line;
    }
    if (ended_ || buffer_.size() > max_line_) {
      ended_ = true;
      return std::nullopt;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      timed_out_ = true;
      return std::nullopt;
    }
    pollfd waiting{fd_, POLLIN, 0};
    const int ready = poll(&waiting, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0) continue;
    char chunk[8192];
    const ssize_t got = read(fd_, chunk, sizeof chunk);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (got <= 0) {
      ended_ = true;
      continue;
    }
    buffer_.append(chunk, static_cast<size_t>(got));
  }
}

}  // namespace nrw::server
