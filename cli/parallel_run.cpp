#include "parallel_run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>

#include "nrw/core.h"
#include "run_progress.h"

namespace nrw::cli {
namespace {

using Json = nlohmann::json;

struct Worker {
  pid_t pid = -1;
  int fd = -1;
  std::string pending;
  bool ended = false;
  bool ok = false;
  size_t planned = 0;
  std::string error;
  std::string detail;
  size_t failed_part = 0;
};

Worker Start(const std::vector<std::string>& arguments) {
  int pipe_fds[2];
  if (pipe2(pipe_fds, O_CLOEXEC) != 0) {
    throw Exception("Não foi possível iniciar os processos de trabalho: sem pipe.");
  }
  std::vector<std::string> argv_text = {"nrw"};
  argv_text.insert(argv_text.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& text : argv_text) argv.push_back(text.data());
  argv.push_back(nullptr);
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid < 0) {
    close(pipe_fds[0]);
    close(pipe_fds[1]);
    throw Exception("Não foi possível iniciar os processos de trabalho.");
  }
  if (pid == 0) {
    // The worker goes with its parent, whatever kills the parent.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(1);
    dup2(pipe_fds[1], STDOUT_FILENO);
    execv("/proc/self/exe", argv.data());
    _exit(127);
  }
  close(pipe_fds[1]);
  Worker worker;
  worker.pid = pid;
  worker.fd = pipe_fds[0];
  return worker;
}

void StopAll(std::vector<Worker>& workers) {
  for (Worker& worker : workers) {
    if (worker.pid > 0) kill(worker.pid, SIGTERM);
  }
}

std::string Describe(const PartResult& part) {
  std::string text;
  for (const auto& [name, value] : part.values) {
    if (!text.empty()) text += ", ";
    text += name + "=" + value;
  }
  return text;
}

PartStatus StatusNamed(const std::string& name) {
  if (name == "written") return PartStatus::Written;
  if (name == "empty") return PartStatus::Empty;
  return PartStatus::Refused;
}

}  // namespace

std::string WorkerPartLine(const PartResult& part) {
  Json json;
  json["event"] = "part";
  json["part"] = part.number;
  json["status"] = PartStatusName(part.status);
  json["pages"] = part.pages;
  json["file"] = part.output;
  json["temp"] = part.output_temp;
  json["temp_new_file_mode"] = part.output_temp_new_file_mode;
  json["bytes"] = part.bytes;
  json["sha256"] = part.sha256;
  json["protected"] = part.is_protected;
  json["archive"] = part.archive;
  json["archive_temp"] = part.archive_temp;
  json["archive_temp_new_file_mode"] = part.archive_temp_new_file_mode;
  json["archive_sha256"] = part.archive_sha256;
  Json messages = Json::array();
  for (const MessageEntry& message : part.messages) {
    messages.push_back({{"kind", message.kind},
                        {"text", message.text},
                        {"subject", message.subject},
                        {"part", message.part}});
  }
  json["messages"] = std::move(messages);
  return json.dump();
}

std::string WorkerPlanLine(size_t run_parts) {
  return Json{{"event", "plan"}, {"parts", run_parts}}.dump();
}

std::string WorkerEndLine(bool ok, const std::string& error, const std::string& detail,
                          size_t part) {
  return Json{
      {"event", ok ? "done" : "error"}, {"error", error}, {"detail", detail}, {"part", part}}
      .dump();
}

namespace {

// The workers of a run, started as soon as the run has its database state: they load the module
// and list the parts while the run itself does. Stopped and waited for when the run is done with
// them (or failed before it needed them).
class Workers {
 public:
  explicit Workers(const WorkerLaunch& launch) {
    for (int i = 1; i <= launch.jobs; ++i) {
      workers_.push_back(Start(launch.arguments(i, launch.jobs)));
    }
  }
  ~Workers() {
    StopAll(workers_);
    for (Worker& worker : workers_) {
      if (worker.fd >= 0) close(worker.fd);
      if (worker.pid > 0) waitpid(worker.pid, nullptr, 0);
    }
  }
  Workers(const Workers&) = delete;
  Workers& operator=(const Workers&) = delete;

  std::vector<Worker>& All() { return workers_; }

 private:
  std::vector<Worker> workers_;
};

}  // namespace

PartDelegate ParallelParts(WorkerLaunch launch,
                           std::function<void(const PartResult&, size_t, size_t)> part_done) {
  auto started = std::make_shared<Workers>(launch);
  return [started, part_done](const std::vector<PartResult>& plan) {
    std::map<size_t, const PartResult*> by_number;
    size_t total = 0;
    for (const PartResult& part : plan) {
      by_number[part.number] = &part;
      if (part.status != PartStatus::Elsewhere) ++total;
    }
    std::vector<Worker>& workers = started->All();

    std::vector<PartResult> made;
    size_t done = 0;
    std::string failure;
    // Parts the module refuses are not a worker's: they are done as soon as they were asked.
    for (const PartResult& part : plan) {
      if (part.status == PartStatus::Elsewhere || part.produced) continue;
      if (part_done) part_done(part, ++done, total);
    }
    for (;;) {
      std::vector<pollfd> fds;
      std::vector<Worker*> open;
      for (Worker& worker : workers) {
        if (worker.fd < 0) continue;
        fds.push_back({worker.fd, POLLIN, 0});
        open.push_back(&worker);
      }
      if (fds.empty()) break;
      if (poll(fds.data(), fds.size(), -1) < 0) {
        if (errno == EINTR) continue;
        throw Exception("Erro ao acompanhar os processos de trabalho.");
      }
      for (size_t i = 0; i < fds.size(); ++i) {
        if (fds[i].revents == 0) continue;
        Worker& worker = *open[i];
        char buffer[1 << 16];
        const ssize_t got = read(worker.fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
          close(worker.fd);
          worker.fd = -1;
          continue;
        }
        worker.pending.append(buffer, static_cast<size_t>(got));
        for (size_t end = worker.pending.find('\n'); end != std::string::npos;
             end = worker.pending.find('\n')) {
          const Json event = Json::parse(worker.pending.substr(0, end), nullptr, false);
          worker.pending.erase(0, end + 1);
          if (event.is_discarded() || !event.is_object()) continue;
          const std::string kind = event.value("event", "");
          if (kind == "plan") {
            worker.planned = event.value("parts", static_cast<size_t>(0));
          } else if (kind == "part") {
            const size_t number = event.value("part", static_cast<size_t>(0));
            const auto planned = by_number.find(number);
            if (planned == by_number.end()) continue;
            PartResult part = *planned->second;
            part.status = StatusNamed(event.value("status", ""));
            part.pages = event.value("pages", 0);
            part.output = part.status == PartStatus::Written ? event.value("file", "") : "";
            part.output_temp = event.value("temp", "");
            part.output_temp_new_file_mode = event.value("temp_new_file_mode", false);
            part.bytes = event.value("bytes", static_cast<uint64_t>(0));
            part.sha256 = event.value("sha256", "");
            part.is_protected = event.value("protected", false);
            part.archive = event.value("archive", "");
            part.archive_temp = event.value("archive_temp", "");
            part.archive_temp_new_file_mode = event.value("archive_temp_new_file_mode", false);
            part.archive_sha256 = event.value("archive_sha256", "");
            for (const Json& message : event.value("messages", Json::array())) {
              part.messages.push_back({message.value("kind", 0), message.value("text", ""),
                                       message.value("subject", ""), message.value("part", "")});
            }
            if (part_done) part_done(part, ++done, total);
            made.push_back(std::move(part));
          } else if (kind == "done" || kind == "error") {
            worker.ended = true;
            worker.ok = kind == "done";
            worker.error = event.value("error", "");
            worker.detail = event.value("detail", "");
            worker.failed_part = event.value("part", static_cast<size_t>(0));
            if (!worker.ok && failure.empty()) {
              failure = worker.error;
              const auto part = by_number.find(worker.failed_part);
              if (part != by_number.end()) {
                failure = "Parte " + Count(part->second->number) + " (" + Describe(*part->second) +
                          "): " + failure;
              }
              StopAll(workers);
            }
          }
        }
      }
    }
    for (Worker& worker : workers) {
      int status = 0;
      if (worker.pid > 0 && waitpid(worker.pid, &status, 0) == worker.pid) worker.pid = -1;
      if (failure.empty() && (!worker.ended || !worker.ok)) {
        failure = "Um processo de trabalho terminou sem concluir as suas partes.";
      }
      if (failure.empty() && worker.planned != plan.size()) {
        failure =
            "Os processos de trabalho listaram outras partes: o banco de dados mudou durante a "
            "execução.";
      }
    }
    if (!failure.empty()) throw Exception(failure);
    return made;
  };
}

}  // namespace nrw::cli
