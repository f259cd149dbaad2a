#include "send/send_support.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "mail/sha256.h"
#include "support/paths.h"
#include "support/shell.h"
#include "support/temp_dir.h"

extern char** environ;

namespace send_test {

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::string& err_file) {
  int pipe_ends[2];
  if (pipe2(pipe_ends, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], 1);
  if (!err_file.empty()) {
    posix_spawn_file_actions_addopen(&actions, 2, err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
  }
  std::vector<std::string> args = argv;
  std::vector<char*> pointers;
  for (std::string& arg : args) pointers.push_back(arg.data());
  pointers.push_back(nullptr);
  const int status = posix_spawn(&pid_, pointers[0], &actions, nullptr, pointers.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_ends[1]);
  out_ = pipe_ends[0];
  if (status != 0) {
    pid_ = -1;
    throw std::runtime_error("could not start " + argv[0]);
  }
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0) Kill(SIGKILL);
  if (out_ >= 0) close(out_);
}

std::string ChildProcess::ReadLine(int timeout_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (buffered_.find('\n') == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd wanted{out_, POLLIN, 0};
    if (left.count() <= 0 || poll(&wanted, 1, static_cast<int>(left.count())) <= 0) return {};
    char chunk[256];
    const ssize_t got = read(out_, chunk, sizeof chunk);
    if (got <= 0) return {};
    buffered_.append(chunk, static_cast<size_t>(got));
  }
  const size_t end = buffered_.find('\n');
  std::string line = buffered_.substr(0, end);
  buffered_.erase(0, end + 1);
  return line;
}

int ChildProcess::Kill(int signal) {
  int status = -1;
  if (pid_ <= 0) return status;
  kill(pid_, signal);
  waitpid(pid_, &status, 0);
  pid_ = -1;
  return status;
}

LocalSmtpServer::LocalSmtpServer(const std::string& spool, const std::vector<std::string>& options)
    : process_(
          [&] {
            std::vector<std::string> argv = {
                "/usr/bin/python3", support::SourcePath("tests/send/smtp_server.py"),
                "--spool",          spool,
                "--lifetime",       "300"};
            argv.insert(argv.end(), options.begin(), options.end());
            return argv;
          }(),
          spool + "/server.err") {
  const std::string line = process_.ReadLine(20000);
  if (line.empty()) {
    throw std::runtime_error("the SMTP server did not start: " +
                             support::ReadFile(spool + "/server.err"));
  }
  port_ = std::stoi(line);
}

std::string LocalSmtpServer::Url() const { return "smtp://127.0.0.1:" + std::to_string(port_); }

std::string PythonScript(const std::string& script) {
  return "/usr/bin/python3 " + support::SourcePath("tests/send/" + script);
}

std::vector<ReceivedMail> ReadMail(const std::vector<std::string>& files) {
  if (files.empty()) return {};
  std::string command = PythonScript("read_mail.py");
  for (const std::string& file : files) command += " '" + file + "'";
  const support::ShellOutcome outcome = support::RunShell(command);
  if (outcome.status != 0) throw std::runtime_error("read_mail.py failed");
  std::vector<ReceivedMail> mails;
  for (const nlohmann::json& item : nlohmann::json::parse(outcome.out)) {
    ReceivedMail mail;
    mail.file = item.at("file");
    mail.to = item.at("to");
    mail.to_name = item.at("to_name");
    mail.from = item.at("from");
    mail.subject = item.at("subject");
    mail.message_id = item.at("message_id");
    mail.body = item.at("body");
    for (const nlohmann::json& attachment : item.at("attachments")) {
      mail.attachment_names.push_back(attachment.at("name"));
      mail.attachment_sha256.push_back(attachment.at("sha256"));
    }
    mail.longest_line = item.at("longest_line");
    mail.bare_lf = item.at("bare_lf");
    mail.defects = item.at("defects");
    mails.push_back(std::move(mail));
  }
  return mails;
}

std::vector<ReceivedMail> ReadMailIn(const std::string& folder) {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() == ".eml") files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return ReadMail(files);
}

std::vector<DocumentPart> WriteManifest(const std::string& path, const std::string& base,
                                        const std::string& folder,
                                        const std::string& password_template,
                                        const std::string& database) {
  namespace fs = std::filesystem;
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() == ".pdf") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  const nlohmann::json template_json =
      password_template.empty() ? nlohmann::json(nullptr) : nlohmann::json(password_template);
  nlohmann::ordered_json header = {{"manifest", 1},
                                   {"program", "nrw 0.1.0"},
                                   {"module", "RptIncomeStatement"},
                                   {"created", "2026-12-09T22:00:00-03:00"},
                                   {"database", database},
                                   {"params", {{"pAnoBase1", "01/01/2024"}}},
                                   {"split", {"pBeneficiarios"}},
                                   {"output", "partes/{pBeneficiarios}.pdf"},
                                   {"format", "pdf"},
                                   {"password_template", template_json},
                                   {"base", base},
                                   {"parts", files.size()},
                                   {"run_parts", files.size()}};
  std::string text = header.dump() + "\n";
  std::vector<DocumentPart> parts;
  for (const fs::path& file : files) {
    const std::string content = support::ReadFile(file.string());
    DocumentPart part{static_cast<int>(parts.size()) + 1, file.stem().string(),
                      fs::relative(file, base).string(), nrw::mail::Sha256Hex(content)};
    nlohmann::ordered_json record = {{"part", part.part},
                                     {"values", {{"pBeneficiarios", part.registration}}},
                                     {"row", nlohmann::json::object()},
                                     {"status", "written"},
                                     {"file", part.file},
                                     {"format", "pdf"},
                                     {"pages", 1},
                                     {"bytes", content.size()},
                                     {"sha256", part.sha256},
                                     {"protected", !password_template.empty()},
                                     {"password_template", template_json},
                                     {"reason", nullptr}};
    text += record.dump() + "\n";
    parts.push_back(part);
  }
  support::WriteFile(path, text);
  return parts;
}

}  // namespace send_test
