// The subcommands of nrw. Each cmd_<name>.cpp adds its own subcommand and options to the command
// line and does its work; each answers the process exit status: 0 success, 1 the report (or the
// work) failed, 2 a usage error.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "nrwhost/session.h"

namespace CLI {
class App;
}  // namespace CLI

namespace nrw::cli {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsageError = 2;

struct CommonOptions {
  std::string modules_dir;
  std::string layouts_dir;
  //! Errors show their detail too (the database's message and statement).
  bool verbose = false;
};

struct DemoOptions {
  std::string path;
  //! As typed; checked into ano_base and extras before the command runs.
  std::string ano_text;
  std::string extras_text;
  int ano_base = 0;
  int extras = 0;
  bool force = false;
};

struct RunCommand {
  std::string module;
  std::string db;
  std::vector<std::string> params;
  std::vector<std::string> split;
  std::string out;
  std::string trace;
  //! "text", "pdf" or "html"; empty: by the extension of --out.
  std::string format;
  //! Template of the password of each PDF output; empty: not protected.
  std::string password;
  //! Folder of the unprotected archival copies of the PDF outputs; empty: none.
  std::string archive;
  //! The current user, whose company rights restrict the reports; none: every company.
  std::optional<int> usuario;
  //! The longest the command may take; a run still going then is interrupted. Zero: no limit.
  std::chrono::seconds time_limit{0};
  //! --usuario and --tempo-limite as typed; checked into the fields above before the command runs.
  std::string usuario_text;
  std::string time_limit_text;
  //! The run's manifest (.jsonl or .csv); empty: none.
  std::string manifest;
  //! "I/N": this run's share of a run divided among N; empty: every part.
  std::string shard;
  //! Worker processes of a split; 1: the parts are produced here.
  int jobs = 1;
  //! A descriptor that receives the progress as JSON lines; -1: none.
  int progress_fd = -1;
  //! A worker of a parallel run (hidden options, given by the run that starts it): "K/N", the pid
  //! of that run, its date (yyyy-mm-dd), its database snapshot, and whether it writes a manifest
  //! (the worker then hashes its outputs for it).
  std::string worker;
  int worker_owner = 0;
  std::string worker_today;
  std::string worker_snapshot;
  bool worker_hashes = false;
};

struct PanelCommand {
  std::string module;
  std::string db;
  std::vector<std::string> params;
  //! The current user, whose company rights restrict the lookups and the company selections.
  std::optional<int> usuario;
  //! The parameters as a Markdown table (the user's guide's reference) instead of JSON.
  bool markdown = false;
  //! Stays open: events in JSON lines on stdin, the panel after each on stdout.
  bool session = false;
  //! The longest the hooks' statements may take. Zero: no limit.
  std::chrono::seconds time_limit{0};
  //! --usuario and --tempo-limite as typed; checked into the fields above before the command runs.
  std::string usuario_text;
  std::string time_limit_text;
};

//! Without --tempo-limite: longer than the largest office's longest run, short enough that a
//! statement that never ends does not hold a desk (or a server) for a day.
constexpr std::chrono::seconds kDefaultTimeLimit{6 * 3600};

//! The whole command line (argv[0] is the program); answers the exit status.
int Main(int argc, const char* const* argv);

//! A subcommand on the command line and the work it does once parsed. The work owns the storage
//! its options were bound to. check, when there is one, converts and checks the options' values
//! (raising UsageError) before anything is opened or written.
struct Subcommand {
  Subcommand(CLI::App* command, std::function<int()> work, std::function<void()> checks = {})
      : app(command), run(std::move(work)), check(std::move(checks)) {}
  CLI::App* app;
  std::function<int()> run;
  std::function<void()> check;
};

//! The command line parsed and checked, not yet run: what Main does first, and what the command
//! line's fuzz target drives alone.
class CommandLine {
 public:
  CommandLine();
  ~CommandLine();
  CommandLine(const CommandLine&) = delete;
  CommandLine& operator=(const CommandLine&) = delete;
  //! Parses argv (argv[0] is the program) and checks every option's value. Answers the exit
  //! status when the command line itself was the answer (help, version, a usage error, said on
  //! stdout or stderr); nothing when the parsed command is to run.
  std::optional<int> Parse(int argc, const char* const* argv);
  //! Runs the parsed command; answers its exit status.
  int Run();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

//! Each adds its subcommand to the application; common holds the options every command shares and
//! outlives the parse.
Subcommand AddListCommand(CLI::App& app, const CommonOptions& common);
Subcommand AddDemoCommand(CLI::App& app, const CommonOptions& common);
Subcommand AddRunCommand(CLI::App& app, const CommonOptions& common);
Subcommand AddPanelCommand(CLI::App& app, const CommonOptions& common);
Subcommand AddVerifyCommand(CLI::App& app, const CommonOptions& common);
Subcommand AddSendCommand(CLI::App& app, const CommonOptions& common);
Subcommand AddUsuarioCommand(CLI::App& app, const CommonOptions& common);
Subcommand AddServeCommand(CLI::App& app, const CommonOptions& common);

//! The help text of --db.
extern const char* const kDbHelp;

//! Adds --tempo-limite to a command that runs a module.
void AddTimeLimitOption(CLI::App& command, RunCommand& options);
void AddTimeLimitOption(CLI::App& command, PanelCommand& options);
//! Converts --usuario and --tempo-limite as typed; raises UsageError naming the option.
void CheckRunOptions(RunCommand& command);
void CheckRunOptions(PanelCommand& command);
//! Raises UsageError unless db names a readable regular file; a text that looks like a server's
//! address but is none is said to be neither (and not repeated: it may hold a password).
void CheckDatabaseFile(const std::string& db);

//! "NOME=VALOR" pairs; false (with a message on stderr) when one has no "=".
bool ParseParams(const std::vector<std::string>& texts, std::vector<ParamSetting>& settings);
//! Flushes stdout; false (with a message on stderr) when what was written did not all get out.
bool FlushStdout();
//! Says the error on stderr ("Erro: ..."), its detail too under --verbose; answers status.
int Failed(const CommonOptions& common, const std::string& error, const std::string& detail,
           int status);

int ListModules(const CommonOptions& common);
int MakeDemoDatabase(const CommonOptions& common, const DemoOptions& options);
int RunReportCommand(const CommonOptions& common, const RunCommand& command);
int ShowPanel(const CommonOptions& common, const PanelCommand& command);

}  // namespace nrw::cli
