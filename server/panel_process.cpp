#include "panel_process.h"

#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace nrw::server {
namespace {

constexpr size_t kMaxAnswer = 16 << 20;

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<size_t>(wrote);
  }
  return true;
}

}  // namespace

PanelProcess::PanelProcess(const SpawnOptions& options, std::chrono::milliseconds timeout)
    : child_(options), reader_(child_.StdoutFd(), kMaxAnswer) {
  std::optional<std::string> first = reader_.Next(timeout);
  if (!first) {
    alive_ = false;
    child_.Stop(std::chrono::milliseconds(500));
    throw std::runtime_error("não foi possível abrir o painel do relatório.");
  }
  first_panel_ = std::move(*first);
}

std::optional<std::string> PanelProcess::Exchange(const std::string& line,
                                                  std::chrono::milliseconds timeout) {
  const std::lock_guard lock(mutex_);
  if (!alive_) return std::nullopt;
  std::optional<std::string> answer;
  if (WriteAll(child_.StdinFd(), line + "\n")) answer = reader_.Next(timeout);
  if (!answer) {
    alive_ = false;
    child_.Stop(std::chrono::milliseconds(500));
  }
  return answer;
}

bool PanelProcess::Alive() const {
  const std::lock_guard lock(mutex_);
  return alive_;
}

}  // namespace nrw::server
