#include <iostream>
#include <memory>
#include <new>
#include <optional>

#include "commands.h"
#include "nrwhost/database.h"
#include "nrwhost/files.h"
#include "nrwhost/progress_sink.h"
#include "nrwhost/session.h"
#include "nrwhost/settings.h"
#include "nrwhost/trace.h"
#include "paths.h"
#include "progress_bar.h"

namespace nrw::cli {
namespace {

std::unique_ptr<TnConnection> ReadOnlyConnection(const std::string& target) {
  if (!IsPostgreSQLTarget(target)) return OpenSQLite(target, OpenMode::ReadOnly);
  std::unique_ptr<TnConnection> connection = OpenConnection(target);
  connection->ExecuteScript(
      "SET default_transaction_read_only = on; BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
  return connection;
}

//! The database, read-only, as the host's default connection for the length of the command. On a
//! server the session is read-only, so that nothing a module sends can change the office's data
//! (and a read replica serves as well as the primary), and the whole command reads one snapshot,
//! so that a document never mixes the data before and after another desk's change.
class OpenDatabase {
 public:
  explicit OpenDatabase(const std::string& target)
      : connection_(ReadOnlyConnection(target)), scope_(*connection_) {}

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

bool IsPattern(const std::string& output) { return output.find('{') != std::string::npos; }

//! Everything the command line names, checked before anything is opened or written.
struct CheckedRun {
  ModuleFiles files;
  std::string output;
};

CheckedRun CheckRunArguments(const CommonOptions& common, const RunCommand& command) {
  CheckedRun checked;
  // A server is asked when opened; a file must be there and be a database file.
  const bool on_server = IsPostgreSQLTarget(command.db);
  if (!on_server) CheckInputFile(command.db, "Banco de dados");
  const std::vector<std::string> protected_files =
      on_server ? std::vector<std::string>{} : std::vector<std::string>{command.db};
  checked.files =
      FindModule(command.module, ResolveLocations(common.modules_dir, common.layouts_dir));
  checked.output = command.out.empty() ? "-" : command.out;
  const bool output_is_file = checked.output != "-" && !IsPattern(checked.output);
  if (output_is_file) CheckOutputTarget(checked.output, protected_files);
  if (!command.trace.empty()) {
    if (command.trace == "-") throw UsageError("Rastro: use um arquivo, não a saída padrão.");
    CheckOutputTarget(command.trace, protected_files);
    if (output_is_file && SameFile(command.trace, checked.output)) {
      throw UsageError("A saída e o rastro são o mesmo arquivo: " + command.trace + ".");
    }
  }
  return checked;
}

int Failed(const CommonOptions& common, const std::string& error, const std::string& detail,
           int status) {
  std::cerr << "Erro: " << error << '\n';
  if (common.verbose && !detail.empty()) std::cerr << detail << '\n';
  return status;
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

bool FlushStdout() {
  std::cout.flush();
  if (std::cout) return true;
  std::cerr << "Erro: não foi possível gravar na saída padrão.\n";
  return false;
}

int RunReportCommand(const CommonOptions& common, const RunCommand& command) {
  RunOptions options;
  if (!ParseParams(command.params, options.params)) return kUsageError;
  CheckedRun checked;
  std::unique_ptr<JsonLinesTraceWriter> trace;
  try {
    checked = CheckRunArguments(common, command);
    RemoveTempFilesOnSignals();
    if (!command.trace.empty()) {
      trace = std::make_unique<JsonLinesTraceWriter>(
          command.trace, IsPostgreSQLTarget(command.db) ? std::vector<std::string>{}
                                                        : std::vector<std::string>{command.db});
      options.protected_files.push_back(command.trace);
    }
  } catch (const UsageError& error) {
    return Failed(common, error.what(), error.Detail(), kUsageError);
  }
  options.module_path = checked.files.module_path;
  options.layout_path = checked.files.layout_path;
  options.split = command.split;
  options.output = checked.output;
  if (!command.format.empty()) options.format = FormatNamed(command.format);
  options.password = command.password;
  options.archive_dir = command.archive;
  options.trace = trace.get();

  ProgressBar bar;
  RunResult result;
  try {
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
    result = RunReport(options);
  } catch (const UsageError& error) {
    return Failed(common, error.what(), error.Detail(), kUsageError);
  } catch (const std::bad_alloc&) {
    return Failed(common, "memória insuficiente.", "", kFailed);
  } catch (const Exception& error) {
    return Failed(common, error.what(), "", kFailed);
  }
  bar.Clear();
  PrintMessages(result.messages);
  // A failed run's trace ends with its error: it is kept, unless the user's arguments were wrong.
  if (trace != nullptr && !result.usage_error) {
    try {
      trace->Commit();
    } catch (const Exception& error) {
      if (result.ok) return Failed(common, error.what(), "", kFailed);
      std::cerr << "Erro: " << error.what() << '\n';
    }
  }
  if (!result.ok) {
    return Failed(common, result.error, result.detail, result.usage_error ? kUsageError : kFailed);
  }
  if (result.pages == 0) {
    std::cerr << "Aviso: nenhum registro para imprimir; o relatório saiu sem páginas.\n";
  }
  for (const std::string& output : result.outputs) std::cerr << "Gerado: " << output << '\n';
  return kOk;
}

int ShowPanel(const CommonOptions& common, const RunCommand& command) {
  SessionOptions options;
  if (!ParseParams(command.params, options.params)) return kUsageError;
  try {
    if (!command.db.empty() && !IsPostgreSQLTarget(command.db)) {
      CheckInputFile(command.db, "Banco de dados");
    }
    const ModuleFiles files =
        FindModule(command.module, ResolveLocations(common.modules_dir, common.layouts_dir));
    options.module_path = files.module_path;
    options.layout_path = files.layout_path;
    std::optional<OpenDatabase> database;
    if (!command.db.empty()) database.emplace(command.db);
    const RunSession session(options);
    std::cout << session.DescribePanel() << '\n';
  } catch (const UsageError& error) {
    return Failed(common, error.what(), error.Detail(), kUsageError);
  } catch (const std::bad_alloc&) {
    return Failed(common, "memória insuficiente.", "", kFailed);
  } catch (const Exception& error) {
    return Failed(common, error.what(), "", kFailed);
  } catch (const std::exception& error) {
    return Failed(common, "erro inesperado ao montar o painel.", error.what(), kFailed);
  }
  return FlushStdout() ? kOk : kFailed;
}

}  // namespace nrw::cli
