#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <memory>
#include <new>
#include <optional>

#include "arguments.h"
#include "commands.h"
#include "database_scope.h"
#include "nrw/datetime.h"
#include "nrw/format.h"
#include "nrwhost/database.h"
#include "nrwhost/files.h"
#include "nrwhost/progress_sink.h"
#include "nrwhost/session.h"
#include "nrwhost/settings.h"
#include "nrwhost/time_limit.h"
#include "nrwhost/trace.h"
#include "parallel_run.h"
#include "paths.h"
#include "progress_bar.h"
#include "run_arguments.h"
#include "run_progress.h"
#include "run_worker.h"

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

}  // namespace

int RunReportCommand(const CommonOptions& common, const RunCommand& command) {
  // From the start: opening a server's database counts too.
  const TimeLimit time_limit(command.time_limit);
  RunOptions options;
  if (!ParseParams(command.params, options.params)) return kUsageError;
  CheckedRun checked;
  std::unique_ptr<JsonLinesTraceWriter> trace;
  const bool is_worker = !command.worker.empty();
  try {
    checked = CheckRunArguments(common, command);
    options.shard = ParseShare(command.shard, "--shard");
    CheckProgressFd(command.progress_fd);
    if (command.jobs > 1) {
      if (command.split.empty() || checked.output == "-" || !IsPattern(checked.output)) {
        throw UsageError(
            "--jobs divide as partes de uma execução com --split, cada uma no seu arquivo "
            "(--out com {PARAM}).");
      }
      if (!command.trace.empty()) {
        throw UsageError("--trace registra uma execução num só processo: use --jobs 1.");
      }
    }
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
  if (is_worker) return RunWorker(common, command, std::move(options));

  const TDateTime today = Date();
  options.today = today;
  if (!command.manifest.empty()) {
    options.manifest.path = command.manifest;
    options.manifest.program = std::string("nrw ") + NRW_VERSION;
    options.manifest.database = command.db;
    options.manifest.user = command.usuario;
    std::error_code error;
    options.manifest.base = std::filesystem::current_path(error).string();
    if (!command.trace.empty() && SameFile(command.trace, command.manifest)) {
      return Failed(common, "O manifesto e o rastro são o mesmo arquivo: " + command.manifest + ".",
                    "", kUsageError);
    }
  }

  ProgressBar bar;
  RunProgress progress(bar, command.progress_fd);
  const bool split = !command.split.empty();
  RunResult result;
  try {
    std::optional<ProgressSinkScope> boxes;
    if (bar.Enabled() && !split) {
      options.progress = [&bar](int position, int total) {
        bar.Update("Imprimindo", position, total);
      };
      boxes.emplace([&bar](const std::string& caption, int position, int total, bool visible) {
        if (visible) bar.Update(caption, position, total);
      });
    } else if (bar.Enabled()) {
      bar.Update("Listando as partes...", 0, 0);
    }
    const auto part_done = [&progress](const PartResult& part, size_t done, size_t total) {
      progress.Part(part, done, total);
    };
    options.part_done = part_done;
    OpenDatabase database(command.db);
    if (command.jobs > 1) {
      WorkerLaunch launch;
      launch.jobs = command.jobs;
      const std::string snapshot = database.Snapshot().Export();
      const std::string day = FormatDateTime("yyyy-mm-dd", today);
      launch.arguments = [&common, &command, day, snapshot](int index, int count) {
        return WorkerArguments(common, command, day, snapshot, index, count);
      };
      options.delegate = ParallelParts(launch, part_done);
    }
    const CurrentUser user(command.usuario);
    result = RunReport(options);
  } catch (const UsageError& error) {
    progress.Failed(error.what());
    return Failed(common, error.what(), error.Detail(), kUsageError);
  } catch (const std::bad_alloc&) {
    progress.Failed("memória insuficiente.");
    return Failed(common, "memória insuficiente.", "", kFailed);
  } catch (const Exception& error) {
    progress.Failed(error.what());
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
    progress.Failed(result.error);
    return Failed(common, result.error, result.detail, result.usage_error ? kUsageError : kFailed);
  }
  if (split) {
    progress.Finish(options, result, common.verbose);
    return kOk;
  }
  if (result.pages == 0) {
    std::cerr << "Aviso: nenhum registro para imprimir; nenhum arquivo foi gravado.\n";
  }
  for (const std::string& output : result.outputs) std::cerr << "Gerado: " << output << '\n';
  progress.Finish(options, result, false);
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
  run->add_option("--manifest", command->manifest,
                  "Registro das partes (.jsonl ou .csv), gravado com as saídas")
      ->type_name("ARQUIVO");
  run->add_option("--jobs", command->jobs, "Processos que produzem as partes (padrão: 1)")
      ->type_name("N")
      ->check(CLI::Range(1, 64));
  run->add_option("--shard", command->shard,
                  "I/N: só as partes desta fatia de uma execução dividida em N")
      ->type_name("I/N");
  run->add_option("--progress-fd", command->progress_fd,
                  "Descritor que recebe o progresso em linhas JSON")
      ->type_name("FD")
      ->check(CLI::Range(0, 1 << 20));
  // A worker of a parallel run: given by the run that starts it, not by people.
  run->add_option("--worker", command->worker)->group("");
  run->add_option("--worker-owner", command->worker_owner)->group("");
  run->add_option("--worker-today", command->worker_today)->group("");
  run->add_option("--worker-snapshot", command->worker_snapshot)->group("");
  run->add_flag("--worker-hashes", command->worker_hashes)->group("");
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
