#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

#include "commands.h"
#include "nrwhost/database.h"
#include "nrwhost/progress_sink.h"
#include "nrwhost/session.h"
#include "nrwhost/settings.h"
#include "nrwhost/trace.h"
#include "paths.h"
#include "progress_bar.h"

namespace nrw::cli {
namespace {

std::unique_ptr<TnConnection> ReadOnly(std::unique_ptr<TnConnection> connection) {
  if (connection->Dialect() == TnDialect::kPostgreSQL) {
    connection->ExecuteScript(
        "SET default_transaction_read_only = on; BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
  }
  return connection;
}

//! The database as the host's default connection for the length of the command. Reports only
//! read: on a server the session is read-only, so that nothing a module sends can change the
//! office's data (and a read replica serves as well as the primary), and the whole command reads
//! one snapshot, so that a document never mixes the data before and after another desk's change.
class OpenDatabase {
 public:
  explicit OpenDatabase(const std::string& target)
      : connection_(ReadOnly(OpenConnection(target))), scope_(*connection_) {}

 private:
  std::unique_ptr<TnConnection> connection_;
  DefaultConnectionScope scope_;
};

//! The current user for the length of the command.
class CurrentUser {
 public:
  explicit CurrentUser(std::optional<int> user) { DefinirUsuarioAtual(user); }
  ~CurrentUser() { DefinirUsuarioAtual(std::nullopt); }
  CurrentUser(const CurrentUser&) = delete;
  CurrentUser& operator=(const CurrentUser&) = delete;
};

//! The message page after the run: its captions as a heading, then one message per line.
void PrintMessages(const MessagePage& messages) {
  if (messages.entries.empty()) return;
  std::string title;
  for (const std::string& caption : messages.captions)
    title += (title.empty() ? "" : " | ") + caption;
  std::cerr << "== " << (title.empty() ? "Mensagens" : title) << " ==\n";
  for (const MessageEntry& entry : messages.entries) std::cerr << entry.text << '\n';
}

// A file that is not there would become an empty SQLite database; a server is asked when opened.
bool DatabaseExists(const std::string& target) {
  if (IsPostgreSQLTarget(target) || std::filesystem::exists(target)) return true;
  std::cerr << "Banco de dados não encontrado: " << target << '\n';
  return false;
}

}  // namespace

bool ParseParams(const std::vector<std::string>& texts, std::vector<ParamSetting>& settings) {
  for (const std::string& text : texts) {
    const size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0) {
      std::cerr << "Parâmetro inválido: '" << text << "' (use NOME=VALOR)\n";
      return false;
    }
    settings.push_back({text.substr(0, equals), text.substr(equals + 1)});
  }
  return true;
}

int RunReportCommand(const CommonOptions& common, const RunCommand& command) {
  RunOptions options;
  if (!ParseParams(command.params, options.params)) return kUsageError;
  if (!DatabaseExists(command.db)) return kUsageError;
  ModuleFiles files;
  try {
    files = FindModule(command.module, ResolveLocations(common.modules_dir, common.layouts_dir));
  } catch (const std::exception& failure) {
    std::cerr << failure.what() << '\n';
    return kUsageError;
  }
  options.module_path = files.module_path;
  options.layout_path = files.layout_path;
  options.split = command.split;
  options.output = command.out;
  if (command.out.empty()) options.stream = &std::cout;

  ProgressBar bar;
  try {
    std::unique_ptr<JsonLinesTraceWriter> trace;
    if (!command.trace.empty()) trace = std::make_unique<JsonLinesTraceWriter>(command.trace);
    options.trace = trace.get();
    std::optional<ProgressSinkScope> boxes;
    if (bar.Enabled()) {
      options.progress = [&bar](int position, int total) {
        bar.Update("Imprimindo", position, total);
      };
      boxes.emplace([&bar](const std::string& caption, int position, int total, bool visible) {
        if (visible) bar.Update(caption, position, total);
      });
    }
    const OpenDatabase database(command.db);
    const CurrentUser user(command.usuario);
    const RunResult result = RunReport(options);
    PrintMessages(result.messages);
    if (!result.ok) {
      std::cerr << "Erro: " << result.error << '\n';
      return kFailed;
    }
    for (const std::string& output : result.outputs) {
      std::cerr << "Gerado: " << output << '\n';
    }
    return kOk;
  } catch (const std::exception& failure) {
    std::cerr << "Erro: " << failure.what() << '\n';
    return kFailed;
  }
}

int ShowPanel(const CommonOptions& common, const RunCommand& command) {
  SessionOptions options;
  if (!ParseParams(command.params, options.params)) return kUsageError;
  if (!command.db.empty() && !DatabaseExists(command.db)) return kUsageError;
  try {
    const ModuleFiles files =
        FindModule(command.module, ResolveLocations(common.modules_dir, common.layouts_dir));
    options.module_path = files.module_path;
    options.layout_path = files.layout_path;
    std::optional<OpenDatabase> database;
    if (!command.db.empty()) database.emplace(command.db);
    const RunSession session(options);
    std::cout << session.DescribePanel() << '\n';
    return kOk;
  } catch (const std::exception& failure) {
    std::cerr << "Erro: " << failure.what() << '\n';
    return kFailed;
  }
}

}  // namespace nrw::cli
