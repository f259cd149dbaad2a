#include "run_manager.h"

#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "line_reader.h"
#include "secure_random.h"
#include "zip_writer.h"

namespace nrw::server {
namespace fs = std::filesystem;
namespace {

constexpr size_t kMaxMessages = 200;
constexpr size_t kMaxProgressLine = 1 << 20;
constexpr int kProgressFd = 3;

int64_t UnixNow() {
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

std::string ExtensionOf(const std::string& format) {
  if (format == "text") return ".txt";
  return "." + format;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  if (from.empty()) return;
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

bool IsTerminal(RunState state) {
  return state == RunState::Done || state == RunState::Failed || state == RunState::Cancelled;
}

std::optional<RunState> StateNamed(const std::string& name) {
  for (const RunState state : {RunState::Queued, RunState::Running, RunState::Done,
                               RunState::Failed, RunState::Cancelled}) {
    if (name == RunStateName(state)) return state;
  }
  return std::nullopt;
}

nlohmann::ordered_json RecordOf(const RunView& view) {
  return {{"id", view.id},
          {"user", view.user},
          {"module", view.module},
          {"state", RunStateName(view.state)},
          {"done", view.done},
          {"total", view.total},
          {"messages", view.messages},
          {"error", view.error},
          {"format", view.format},
          {"split", view.split},
          {"created", view.created},
          {"finished", view.finished}};
}

// A regular file (not a link) directly or deeper under folder.
bool IsFileUnder(const std::string& path, const std::string& folder) {
  if (path.rfind(folder + "/", 0) != 0 || path.find("/../") != std::string::npos) return false;
  struct stat info {};
  return lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

const char* RunStateName(RunState state) {
  switch (state) {
    case RunState::Queued:
      return "queued";
    case RunState::Running:
      return "running";
    case RunState::Done:
      return "done";
    case RunState::Failed:
      return "failed";
    case RunState::Cancelled:
      return "cancelled";
  }
  return "failed";
}

struct RunManager::Run {
  RunRequest request;
  RunView view;
  std::string dir;
  //! The child while it runs; guarded by the manager's mutex.
  ChildProcess* child = nullptr;
  bool cancel_requested = false;
};

RunManager::RunManager(std::vector<std::string> program, std::string db, std::string data_dir,
                       RunLimits limits)
    : program_(std::move(program)),
      db_(std::move(db)),
      data_dir_(std::move(data_dir)),
      limits_(limits) {
  fs::create_directories(data_dir_);
  LoadKept();
  RemoveExpired();
  for (int i = 0; i < std::max(1, limits_.jobs); ++i) workers_.emplace_back([this] { Work(); });
}

RunManager::~RunManager() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
    for (auto& [id, run] : runs_) {
      if (run->child != nullptr) run->child->Signal(SIGTERM);
    }
  }
  queued_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

std::string RunManager::Submit(RunRequest request) {
  auto run = std::make_shared<Run>();
  run->view.id = RandomHex(16);
  run->view.user = request.user;
  run->view.module = request.module;
  run->view.format = request.format;
  run->view.split = request.split;
  run->view.created = UnixNow();
  run->dir = data_dir_ + "/" + request.user + "/" + run->view.id;
  run->request = std::move(request);
  const std::lock_guard lock(mutex_);
  runs_[run->view.id] = run;
  queue_.push_back(run);
  queued_.notify_one();
  changed_.notify_all();
  return run->view.id;
}

std::shared_ptr<RunManager::Run> RunManager::Lookup(const std::string& user,
                                                    const std::string& id) const {
  const auto found = runs_.find(id);
  if (found == runs_.end() || found->second->view.user != user) return nullptr;
  return found->second;
}

std::optional<RunView> RunManager::Find(const std::string& user, const std::string& id) const {
  const std::lock_guard lock(mutex_);
  const auto run = Lookup(user, id);
  if (!run) return std::nullopt;
  return run->view;
}

std::vector<RunView> RunManager::List(const std::string& user) const {
  std::vector<RunView> views;
  {
    const std::lock_guard lock(mutex_);
    for (const auto& [id, run] : runs_) {
      if (run->view.user == user) views.push_back(run->view);
    }
  }
  std::stable_sort(views.begin(), views.end(),
                   [](const RunView& a, const RunView& b) { return a.created > b.created; });
  return views;
}

bool RunManager::Cancel(const std::string& user, const std::string& id) {
  std::shared_ptr<Run> cancelled_in_queue;
  {
    const std::lock_guard lock(mutex_);
    const auto run = Lookup(user, id);
    if (!run) return false;
    if (IsTerminal(run->view.state)) return true;
    run->cancel_requested = true;
    if (run->child != nullptr) {
      run->child->Signal(SIGTERM);
    } else if (run->view.state == RunState::Queued) {
      queue_.erase(std::remove(queue_.begin(), queue_.end(), run), queue_.end());
      cancelled_in_queue = run;
    }
  }
  if (cancelled_in_queue) Finish(cancelled_in_queue, RunState::Cancelled, "");
  return true;
}

std::optional<RunView> RunManager::WaitChange(const std::string& user, const std::string& id,
                                              uint64_t version,
                                              std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  const auto run = Lookup(user, id);
  if (!run) return std::nullopt;
  changed_.wait_for(lock, timeout, [&] { return run->view.version != version || stopping_; });
  return run->view;
}

void RunManager::Work() {
  while (true) {
    std::shared_ptr<Run> run;
    {
      std::unique_lock lock(mutex_);
      queued_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (stopping_) return;
      run = queue_.front();
      queue_.pop_front();
      run->view.state = RunState::Running;
      ++run->view.version;
    }
    changed_.notify_all();
    try {
      Execute(run);
    } catch (const std::exception&) {
      Finish(run, RunState::Failed, "não foi possível executar o relatório no servidor.");
    }
  }
}

void RunManager::Execute(const std::shared_ptr<Run>& run) {
  const RunRequest& request = run->request;
  fs::create_directories(run->dir + "/files");
  fs::permissions(run->dir, fs::perms::owner_all);
  std::string out = run->dir + "/files/";
  if (request.split.empty()) {
    out += request.module;
  } else {
    std::string pattern;
    for (const std::string& name : request.split)
      pattern += (pattern.empty() ? "{" : "_{") + name + "}";
    out += pattern;
  }
  out += ExtensionOf(request.format);
  SpawnOptions spawn;
  spawn.argv = program_;
  spawn.argv.insert(
      spawn.argv.end(),
      {"run", request.module, "--db", db_, "--usuario", std::to_string(request.usuario), "--out",
       out, "--format", request.format, "--progress-fd", std::to_string(kProgressFd)});
  // The manifest records the parts of a split run; a single document is simply the folder's file.
  if (!request.split.empty()) {
    spawn.argv.insert(spawn.argv.end(), {"--manifest", run->dir + "/manifest.jsonl"});
  }
  for (const auto& [name, value] : request.params)
    spawn.argv.push_back("--param=" + name + "=" + value);
  for (const std::string& name : request.split) spawn.argv.push_back("--split=" + name);
  if (!request.password.empty()) spawn.argv.push_back("--password=" + request.password);
  if (request.archive) {
    fs::create_directories(run->dir + "/arquivo");
    spawn.argv.insert(spawn.argv.end(), {"--archive", run->dir + "/arquivo"});
  }
  spawn.report_fd = kProgressFd;
  spawn.stderr_path = run->dir + "/stderr.log";
  spawn.memory_limit = limits_.memory_limit;

  ChildProcess child(spawn);
  {
    const std::lock_guard lock(mutex_);
    run->child = &child;
    if (run->cancel_requested || stopping_) child.Signal(SIGTERM);
  }
  const auto started = std::chrono::steady_clock::now();
  bool timed_out = false;
  std::string summary_error;
  bool summary_ok = false;
  LineReader reader(child.ReportFd(), kMaxProgressLine);
  while (true) {
    std::optional<std::string> line = reader.Next(std::chrono::milliseconds(250));
    if (line) {
      try {
        const nlohmann::json event = nlohmann::json::parse(*line);
        const std::string kind = event.value("event", "");
        if (kind == "progress") {
          const std::lock_guard lock(mutex_);
          run->view.done = event.value("done", size_t{0});
          run->view.total = event.value("total", size_t{0});
          ++run->view.version;
        } else if (kind == "summary") {
          summary_ok = event.value("ok", false);
          if (event.contains("error") && event["error"].is_string()) {
            summary_error = event["error"].get<std::string>();
          }
        }
      } catch (const nlohmann::json::exception&) {
        // A line that is not an event says nothing about progress.
      }
      if (line) changed_.notify_all();
      continue;
    }
    if (reader.Ended()) break;
    if (!timed_out && std::chrono::steady_clock::now() - started > limits_.time_limit) {
      timed_out = true;
      child.Signal(SIGTERM);
    }
  }
  std::optional<ChildExit> exit = child.WaitFor(std::chrono::seconds(10));
  if (!exit) exit = child.Stop(std::chrono::seconds(5));
  bool cancelled = false;
  {
    const std::lock_guard lock(mutex_);
    run->child = nullptr;
    cancelled = run->cancel_requested;
  }

  // What the run said on stderr, without the server's folders.
  std::vector<std::string> messages;
  std::string last_error;
  std::istringstream log(ReadFile(run->dir + "/stderr.log"));
  for (std::string line; std::getline(log, line);) {
    if (line.rfind("Gerado: ", 0) == 0) continue;
    ReplaceAll(line, run->dir + "/", "");
    ReplaceAll(line, data_dir_, "[dados]");
    if (line.rfind("Erro: ", 0) == 0) last_error = line.substr(6);
    if (messages.size() < kMaxMessages) messages.push_back(line);
  }
  ReplaceAll(summary_error, run->dir + "/", "");
  ReplaceAll(summary_error, data_dir_, "[dados]");
  {
    const std::lock_guard lock(mutex_);
    run->view.messages = std::move(messages);
  }
  if (cancelled) {
    Finish(run, RunState::Cancelled, "");
  } else if (timed_out) {
    Finish(run, RunState::Failed,
           "o relatório excedeu o tempo limite de " + std::to_string(limits_.time_limit.count()) +
               " s e foi interrompido.");
  } else if (exit->signal) {
    Finish(run, RunState::Failed,
           "o módulo terminou de forma inesperada (sinal " + std::to_string(*exit->signal) +
               "); nenhum arquivo foi gerado.");
  } else if (exit->status && *exit->status == 0 && (summary_ok || summary_error.empty())) {
    Finish(run, RunState::Done, "");
  } else {
    std::string error = !summary_error.empty() ? summary_error : last_error;
    if (error.empty()) error = "o relatório falhou.";
    Finish(run, RunState::Failed, error);
  }
}

void RunManager::Finish(const std::shared_ptr<Run>& run, RunState state, std::string error) {
  RunView view;
  {
    const std::lock_guard lock(mutex_);
    run->view.state = state;
    run->view.error = std::move(error);
    run->view.finished = UnixNow();
    if (state == RunState::Done && run->view.total == 0) run->view.done = run->view.total = 1;
    ++run->view.version;
    view = run->view;
  }
  changed_.notify_all();
  // The record beside the files keeps the run in the user's history across restarts.
  std::error_code ignored;
  fs::create_directories(run->dir, ignored);
  const std::string temp = run->dir + "/run.json.tmp";
  {
    std::ofstream record(temp, std::ios::binary | std::ios::trunc);
    record << RecordOf(view).dump() << '\n';
  }
  fs::rename(temp, run->dir + "/run.json", ignored);
}

std::vector<RunFile> RunManager::Files(const std::string& user, const std::string& id) const {
  std::string dir;
  std::string format;
  {
    const std::lock_guard lock(mutex_);
    const auto run = Lookup(user, id);
    if (!run || run->view.state != RunState::Done) return {};
    dir = run->dir;
    format = run->view.format;
  }
  std::vector<RunFile> files;
  std::vector<RunFile> archives;
  std::istringstream manifest(ReadFile(dir + "/manifest.jsonl"));
  std::string line;
  std::getline(manifest, line);
  while (std::getline(manifest, line)) {
    try {
      const nlohmann::json part = nlohmann::json::parse(line);
      if (part.value("status", "") != "written" || !part["file"].is_string()) continue;
      RunFile file;
      file.path = part["file"].get<std::string>();
      file.bytes = part.value("bytes", uint64_t{0});
      file.format = part.value("format", format);
      file.is_protected = part.value("protected", false);
      file.sha256 = part.value("sha256", "");
      if (part.contains("values") && part["values"].is_object()) {
        for (const auto& [name, value] : part["values"].items()) {
          file.values.emplace_back(name,
                                   value.is_string() ? value.get<std::string>() : value.dump());
        }
      }
      if (part.contains("archive_file") && part["archive_file"].is_string()) {
        RunFile archive = file;
        archive.path = part["archive_file"].get<std::string>();
        archive.is_protected = false;
        archive.archive = true;
        archive.sha256 = part.value("archive_sha256", "");
        archives.push_back(std::move(archive));
      }
      files.push_back(std::move(file));
    } catch (const nlohmann::json::exception&) {
    }
  }
  // A run without separators lists no parts: its one document is what the folder holds.
  if (files.empty()) {
    std::error_code error;
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir + "/files", error)) {
      names.push_back(entry.path().string());
    }
    std::sort(names.begin(), names.end());
    for (const std::string& path : names) {
      RunFile file;
      file.path = path;
      file.format = format;
      file.bytes = fs::file_size(path, error);
      files.push_back(std::move(file));
    }
  }
  files.insert(files.end(), archives.begin(), archives.end());
  std::vector<RunFile> kept;
  for (RunFile& file : files) {
    // Only what lies inside the run's own folder is ever served.
    if (!IsFileUnder(file.path, dir)) continue;
    file.name = fs::path(file.path).filename().string();
    file.index = kept.size() + 1;
    kept.push_back(std::move(file));
  }
  return kept;
}

std::optional<std::string> RunManager::Zip(const std::string& user, const std::string& id) {
  const std::vector<RunFile> files = Files(user, id);
  if (files.empty()) return std::nullopt;
  std::string dir;
  {
    const std::lock_guard lock(mutex_);
    const auto run = Lookup(user, id);
    if (!run) return std::nullopt;
    dir = run->dir;
  }
  const std::string path = dir + "/pacote.zip";
  const std::lock_guard lock(zip_mutex_);
  std::error_code error;
  if (fs::is_regular_file(path, error)) return path;
  std::vector<std::pair<std::string, std::string>> entries;
  for (const RunFile& file : files) {
    entries.emplace_back(file.path, (file.archive ? "arquivo/" : "") + file.name);
  }
  WriteZip(path + ".tmp", entries);
  fs::rename(path + ".tmp", path);
  return path;
}

void RunManager::RemoveExpired() {
  const int64_t horizon =
      UnixNow() - std::chrono::duration_cast<std::chrono::seconds>(limits_.keep).count();
  std::vector<std::string> doomed;
  {
    const std::lock_guard lock(mutex_);
    for (auto it = runs_.begin(); it != runs_.end();) {
      const Run& run = *it->second;
      if (IsTerminal(run.view.state) && run.view.finished < horizon) {
        doomed.push_back(run.dir);
        it = runs_.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (const std::string& dir : doomed) {
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }
}

void RunManager::LoadKept() {
  std::error_code error;
  const auto horizon = fs::file_time_type::clock::now() - limits_.keep;
  for (const auto& user : fs::directory_iterator(data_dir_, error)) {
    if (!user.is_directory()) continue;
    std::error_code inner;
    for (const auto& entry : fs::directory_iterator(user.path(), inner)) {
      const std::string dir = entry.path().string();
      try {
        const nlohmann::json record = nlohmann::json::parse(ReadFile(dir + "/run.json"));
        auto run = std::make_shared<Run>();
        run->dir = dir;
        RunView& view = run->view;
        view.id = record.at("id").get<std::string>();
        view.user = record.at("user").get<std::string>();
        view.module = record.at("module").get<std::string>();
        const auto state = StateNamed(record.at("state").get<std::string>());
        if (!state || !IsTerminal(*state) || view.id != entry.path().filename().string() ||
            view.user != user.path().filename().string()) {
          continue;
        }
        view.state = *state;
        view.done = record.value("done", size_t{0});
        view.total = record.value("total", size_t{0});
        view.messages = record.value("messages", std::vector<std::string>{});
        view.error = record.value("error", "");
        view.format = record.value("format", "");
        view.split = record.value("split", std::vector<std::string>{});
        view.created = record.value("created", int64_t{0});
        view.finished = record.value("finished", int64_t{0});
        runs_[view.id] = run;
      } catch (const std::exception&) {
        // A run the server stopped in the middle of: its leftovers go once they are old.
        std::error_code ignored;
        if (entry.is_directory() && fs::last_write_time(entry.path(), ignored) < horizon) {
          fs::remove_all(entry.path(), ignored);
        }
      }
    }
  }
}

}  // namespace nrw::server
