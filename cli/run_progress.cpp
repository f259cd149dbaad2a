#include "run_progress.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>

#include "nrw/format.h"

namespace nrw::cli {
namespace {

// How many parts without pages the summary names; the manifest names them all.
constexpr size_t kEmptyNamed = 5;

std::string Clock(double seconds) {
  const auto total = static_cast<long>(seconds + 0.5);
  char text[32];
  if (total >= 3600) {
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
  } else {
    std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
  }
  return text;
}

std::string PartName(const PartResult& part) {
  std::string name;
  for (const auto& [param, value] : part.values) name += (name.empty() ? "" : "/") + value;
  return name;
}

}  // namespace

std::string Count(size_t count) { return FormatInteger("#,##0", static_cast<int64_t>(count)); }

std::string PatternFolder(const std::string& pattern) {
  const std::string literal = pattern.substr(0, pattern.find('{'));
  const size_t slash = literal.rfind('/');
  return slash == std::string::npos ? "." : (slash == 0 ? "/" : literal.substr(0, slash));
}

RunProgress::RunProgress(ProgressBar& bar, int json_fd) : bar_(bar), json_fd_(json_fd) {}

void RunProgress::Json(const std::string& line) {
  if (json_fd_ < 0) return;
  // A reader that went away does not stop the run: SIGPIPE is held back while writing, and the one
  // a closed pipe raises is taken off before it is let through again.
  sigset_t pipe_signal;
  sigset_t previous;
  sigemptyset(&pipe_signal);
  sigaddset(&pipe_signal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe_signal, &previous);
  const std::string text = line + "\n";
  const char* data = text.data();
  size_t left = text.size();
  while (left > 0) {
    const ssize_t written = write(json_fd_, data, left);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (errno == EPIPE) {
        const timespec now = {};
        sigtimedwait(&pipe_signal, nullptr, &now);
      }
      json_fd_ = -1;
      break;
    }
    data += written;
    left -= static_cast<size_t>(written);
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

void RunProgress::Part(const PartResult& part, size_t done, size_t total) {
  if (json_fd_ >= 0) {
    nlohmann::ordered_json event;
    event["event"] = "progress";
    event["done"] = done;
    event["total"] = total;
    Json(event.dump());
    nlohmann::ordered_json record;
    record["event"] = "part";
    record["part"] = part.number;
    record["status"] = PartStatusName(part.status);
    record["file"] = part.status == PartStatus::Written ? nlohmann::ordered_json(part.output)
                                                        : nlohmann::ordered_json(nullptr);
    Json(record.dump());
  }
  if (!bar_.Enabled()) return;
  const auto now = std::chrono::steady_clock::now();
  // A few redraws a second are enough; the last one always.
  if (done < total && now - last_drawn_ < std::chrono::milliseconds(200)) return;
  last_drawn_ = now;
  const double elapsed = std::chrono::duration<double>(now - start_).count();
  const double left = done > 0 ? elapsed * static_cast<double>(total - done) / done : 0;
  bar_.Update("Parte " + Count(done) + " de " + Count(total) + "  " + Clock(elapsed) +
                  " decorridos, " + Clock(left) + " restantes",
              static_cast<int>(done), static_cast<int>(total));
}

void RunProgress::Finish(const RunOptions& options, const RunResult& result, bool verbose) {
  bar_.Clear();
  const bool split = !options.split.empty();
  if (verbose && split) {
    for (const std::string& output : result.outputs) std::cerr << "Gerado: " << output << '\n';
  }
  size_t written = 0;
  size_t empty = 0;
  size_t refused = 0;
  std::vector<std::string> empty_names;
  for (const PartResult& part : result.parts) {
    if (part.status == PartStatus::Written) ++written;
    if (part.status == PartStatus::Refused) ++refused;
    if (part.status == PartStatus::Empty && ++empty <= kEmptyNamed) {
      empty_names.push_back(PartName(part));
    }
  }
  const bool to_files = !options.output.empty() && options.output != "-";
  if (split) {
    std::string line = "Partes: " + Count(written) + (to_files ? " gravadas" : " impressas");
    line += ", " + Count(empty) + " sem páginas";
    if (refused > 0) line += ", " + Count(refused) + " não geradas pelo módulo";
    if (to_files) line += "; pasta " + PatternFolder(options.output);
    if (!result.manifest.empty()) line += "; manifesto " + result.manifest;
    std::cerr << line << ".\n";
    if (empty > 0) {
      std::string names;
      for (const std::string& name : empty_names) names += (names.empty() ? "" : ", ") + name;
      if (empty > empty_names.size()) names += " e mais " + Count(empty - empty_names.size());
      std::cerr << "Sem páginas (nenhum arquivo): " << names << ".\n";
    }
  }
  nlohmann::ordered_json event;
  event["event"] = "summary";
  event["ok"] = true;
  event["written"] = split ? written : result.outputs.size();
  event["empty"] = empty;
  event["refused"] = refused;
  event["folder"] = to_files ? nlohmann::ordered_json(PatternFolder(options.output))
                             : nlohmann::ordered_json(nullptr);
  event["manifest"] = result.manifest.empty() ? nlohmann::ordered_json(nullptr)
                                              : nlohmann::ordered_json(result.manifest);
  Json(event.dump());
}

void RunProgress::Failed(const std::string& message) {
  nlohmann::ordered_json event;
  event["event"] = "summary";
  event["ok"] = false;
  event["error"] = message;
  Json(event.dump());
}

}  // namespace nrw::cli
