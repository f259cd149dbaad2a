#include <filesystem>
#include <iostream>
#include <memory>

#include "commands.h"
#include "nrw/progress.h"
#include "nrw/sql.h"
#include "paths.h"
#include "progress_bar.h"
#include "report/panel_describe.h"
#include "report/report_run.h"
#include "report/trace.h"

namespace nrw::cli {
namespace {

//! The database as the host's default connection for the length of the command.
class DefaultConnection {
 public:
  explicit DefaultConnection(const std::string& path) : connection_(OpenSQLite(path)) {
    TnConnection::SetDefault(connection_.get());
  }
  ~DefaultConnection() { TnConnection::SetDefault(nullptr); }
  DefaultConnection(const DefaultConnection&) = delete;
  DefaultConnection& operator=(const DefaultConnection&) = delete;

 private:
  std::unique_ptr<TnConnection> connection_;
};

//! "NOME=VALOR" pairs; false (with a message) when one has no "=".
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

//! The message page after the run: its captions as a heading, then one message per line.
void PrintMessages(const MessagePage& messages) {
  if (messages.entries.empty()) return;
  std::string title;
  for (const std::string& caption : messages.captions) title += (title.empty() ? "" : " | ") + caption;
  std::cerr << "== " << (title.empty() ? "Mensagens" : title) << " ==\n";
  for (const MessageEntry& entry : messages.entries) std::cerr << entry.text << '\n';
}

}  // namespace

int RunReportCommand(const CommonOptions& common, const RunCommand& command) {
  RunOptions options;
  if (!ParseParams(command.params, options.params)) return kUsageError;
  if (!std::filesystem::exists(command.db)) {
    std::cerr << "Banco de dados não encontrado: " << command.db << '\n';
    return kUsageError;
  }
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

  std::unique_ptr<JsonLinesTraceWriter> trace;
  ProgressBar bar;
  try {
    if (!command.trace.empty()) trace = std::make_unique<JsonLinesTraceWriter>(command.trace);
    options.trace = trace.get();
    if (bar.Enabled()) {
      options.progress = [&bar](int position, int total) {
        bar.Update("Imprimindo", position, total);
      };
      TnFraProgresso::SetSink([&bar](const std::string& caption, int position, int total,
                                     bool visible) {
        if (visible) bar.Update(caption, position, total);
      });
    }
    const DefaultConnection connection(command.db);
    const RunResult result = RunReport(options);
    TnFraProgresso::SetSink(nullptr);
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
    TnFraProgresso::SetSink(nullptr);
    std::cerr << "Erro: " << failure.what() << '\n';
    return kFailed;
  }
}

int ShowPanel(const CommonOptions& common, const RunCommand& command) {
  std::vector<ParamSetting> settings;
  if (!ParseParams(command.params, settings)) return kUsageError;
  try {
    const ModuleFiles files =
        FindModule(command.module, ResolveLocations(common.modules_dir, common.layouts_dir));
    std::unique_ptr<DefaultConnection> connection;
    if (!command.db.empty()) {
      if (!std::filesystem::exists(command.db)) {
        std::cerr << "Banco de dados não encontrado: " << command.db << '\n';
        return kUsageError;
      }
      connection = std::make_unique<DefaultConnection>(command.db);
    }
    std::cout << DescribePanel(files.module_path, files.layout_path, settings, Date()).dump(2)
              << '\n';
    return kOk;
  } catch (const std::exception& failure) {
    std::cerr << "Erro: " << failure.what() << '\n';
    return kFailed;
  }
}

}  // namespace nrw::cli
