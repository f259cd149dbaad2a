#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <new>
#include <optional>

#include "arguments.h"
#include "commands.h"
#include "database_scope.h"
#include "nrwhost/database.h"
#include "nrwhost/files.h"
#include "nrwhost/progress_sink.h"
#include "nrwhost/session.h"
#include "nrwhost/settings.h"
#include "nrwhost/time_limit.h"
#include "nrwhost/trace.h"
#include "paths.h"
#include "progress_bar.h"

namespace nrw::cli {
namespace {

//! The message page after the run: its captions as a heading, then one message per line, each
//! led by its part in a run of separated parts.
void PrintMessages(const MessagePage& messages) {
  if (messages.entries.empty()) return;
  std::string title;
  for (const std::string& caption : messages.captions)
    title += (title.empty() ? "" : " | ") + caption;
  std::cerr << "== " << (title.empty() ? "Mensagens" : title) << " ==\n";
  for (const MessageEntry& entry : messages.entries) {
    if (!entry.part.empty()) std::cerr << "[" << entry.part << "] ";
    std::cerr << MessageLine(entry) << '\n';
  }
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
  if (!on_server) CheckDatabaseFile(command.db);
  const std::vector<std::string> protected_files =
      on_server ? std::vector<std::string>{} : DatabaseFiles(command.db);
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

}  // namespace

int RunReportCommand(const CommonOptions& common, const RunCommand& command) {
  // From the start: opening a server's database counts too.
  const TimeLimit time_limit(command.time_limit);
  RunOptions options;
  if (!ParseParams(command.params, options.params)) return kUsageError;
  CheckedRun checked;
  std::unique_ptr<JsonLinesTraceWriter> trace;
  try {
    checked = CheckRunArguments(common, command);
    RemoveTempFilesOnSignals();
    if (!command.trace.empty()) {
      trace = std::make_unique<JsonLinesTraceWriter>(
          command.trace,
          IsPostgreSQLTarget(command.db) ? std::vector<std::string>{} : DatabaseFiles(command.db));
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
    return Failed(common, error.what(), ErrorDetail(error), kFailed);
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

Subcommand AddRunCommand(CLI::App& app, const CommonOptions& common) {
  auto command = std::make_shared<RunCommand>();
  CLI::App* run = app.add_subcommand("run", "Executa um relatório");
  run->add_option("MODULO", command->module,
                  "Nome do módulo (maiúsculas à vontade) ou caminho do .so")
      ->required()
      ->type_name("NOME");
  run->add_option("--db", command->db, kDbHelp)->required()->type_name("BANCO");
  run->add_option("-p,--param", command->params, "Parâmetro NOME=VALOR (repetível)")
      ->type_name("NOME=VALOR");
  run->add_option("--split", command->split, "Parâmetro separador (repetível)")->type_name("PARAM");
  run->add_option("--out", command->out,
                  "Arquivo de saída (.txt, .pdf, .html, .xlsx ou .csv; - para a saída padrão), "
                  "ou, com --split, padrão com {PARAM} por parte")
      ->type_name("ARQUIVO");
  run->add_option("--trace", command->trace, "Registro JSON Lines das chamadas do relatório")
      ->type_name("ARQUIVO");
  run->add_option("--format", command->format,
                  "Formato: text, pdf, html, xlsx ou csv (padrão: pela extensão)")
      ->type_name("FORMATO");
  run->add_option("--password", command->password,
                  "Senha de cada PDF (até 127 bytes), com {PARAM}, {PARAM:digits} ou "
                  "{PARAM:digits:N}")
      ->type_name("MODELO");
  run->add_option("--archive", command->archive,
                  "Pasta da cópia sem senha (PDF/A-2b) de cada PDF, com o mesmo nome")
      ->type_name("PASTA");
  run->add_option("--usuario", command->usuario_text,
                  "Código do usuário: só as empresas a que ele tem direito (padrão: todas)")
      ->type_name("CODIGO");
  AddTimeLimitOption(*run, *command);
  return {run, [&common, command] { return RunReportCommand(common, *command); },
          [command] {
            CheckRunOptions(*command);
            if (!command->format.empty() && !FormatNamed(command->format)) {
              throw UsageError("--format: '" + Shown(command->format) +
                               "' não é um formato (use text, pdf, html, xlsx ou csv).");
            }
          }};
}

}  // namespace nrw::cli
