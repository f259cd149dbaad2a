#include <fcntl.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <memory>
#include <new>
#include <optional>

#include "commands.h"
#include "database_scope.h"
#include "nrw/datetime.h"
#include "nrw/format.h"
#include "nrwhost/database.h"
#include "nrwhost/files.h"
#include "nrwhost/progress_sink.h"
#include "nrwhost/session.h"
#include "nrwhost/settings.h"
#include "nrwhost/trace.h"
#include "parallel_run.h"
#include "paths.h"
#include "progress_bar.h"
#include "run_progress.h"

namespace nrw::cli {
namespace {

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

// "I/N" with 1 <= I <= N.
std::optional<ShardSpec> ParseShare(const std::string& text, const std::string& option) {
  if (text.empty()) return std::nullopt;
  const size_t slash = text.find('/');
  ShardSpec share;
  try {
    if (slash == std::string::npos) throw std::invalid_argument(text);
    size_t used = 0;
    share.index = std::stoi(text.substr(0, slash), &used);
    if (used != slash) throw std::invalid_argument(text);
    const std::string count = text.substr(slash + 1);
    share.count = std::stoi(count, &used);
    if (used != count.size()) throw std::invalid_argument(text);
  } catch (const std::exception&) {
    throw UsageError(option + " " + text + ": use I/N, por exemplo 2/3.");
  }
  if (share.count < 1 || share.index < 1 || share.index > share.count) {
    throw UsageError(option + " " + text + ": I vai de 1 a N.");
  }
  return share;
}

// A descriptor the caller opened for writing.
void CheckProgressFd(int fd) {
  if (fd < 0) return;
  const int flags = fcntl(fd, F_GETFL);
  if (flags < 0 || (flags & O_ACCMODE) == O_RDONLY) {
    throw UsageError("--progress-fd " + std::to_string(fd) +
                     ": o descritor não está aberto para escrita.");
  }
}

// The run's options a worker is started with: the same run, plus which worker it is.
std::vector<std::string> WorkerArguments(const CommonOptions& common, const RunCommand& command,
                                         const std::string& today, const std::string& snapshot,
                                         int index, int count) {
  std::vector<std::string> args;
  if (!common.modules_dir.empty()) args.insert(args.end(), {"--modules", common.modules_dir});
  if (!common.layouts_dir.empty()) args.insert(args.end(), {"--layouts", common.layouts_dir});
  args.insert(args.end(), {"run", command.module, "--db", command.db});
  for (const std::string& param : command.params) args.insert(args.end(), {"-p", param});
  for (const std::string& split : command.split) args.insert(args.end(), {"--split", split});
  args.insert(args.end(), {"--out", command.out});
  if (!command.format.empty()) args.insert(args.end(), {"--format", command.format});
  if (!command.password.empty()) args.insert(args.end(), {"--password", command.password});
  if (!command.archive.empty()) args.insert(args.end(), {"--archive", command.archive});
  if (command.usuario) args.insert(args.end(), {"--usuario", std::to_string(*command.usuario)});
  if (!command.shard.empty()) args.insert(args.end(), {"--shard", command.shard});
  args.insert(args.end(), {"--worker", std::to_string(index) + "/" + std::to_string(count),
                           "--worker-owner", std::to_string(getpid()), "--worker-today", today});
  if (!snapshot.empty()) args.insert(args.end(), {"--worker-snapshot", snapshot});
  return args;
}

void WriteLine(const std::string& line) {
  std::cout << line << '\n';
  std::cout.flush();
}

// A worker: its share of the parts, each reported on stdout as it is done, its files left for the
// run that started it.
int RunWorker(const CommonOptions& common, const RunCommand& command, RunOptions options,
              const CheckedRun& checked) {
  try {
    options.worker = ParseShare(command.worker, "--worker");
    options.today = StrToDate(command.worker_today);
  } catch (const Exception& error) {
    return Failed(common, error.what(), "", kUsageError);
  }
  NameTemporaryFilesAfter(command.worker_owner, options.worker->index);
  options.part_done = [](const PartResult& part, size_t, size_t) {
    if (part.status != PartStatus::Refused) WriteLine(WorkerPartLine(part));
  };
  RunResult result;
  try {
    const OpenDatabase database(command.db, command.worker_snapshot);
    const CurrentUser user(command.usuario);
    result = RunReport(options);
  } catch (const Exception& error) {
    result.ok = false;
    result.error = error.what();
  }
  WriteLine(WorkerPlanLine(result.run_parts));
  WriteLine(WorkerEndLine(result.ok, result.error, result.detail, result.failed_part));
  (void)checked;
  return result.ok ? kOk : kFailed;
}

}  // namespace

int RunReportCommand(const CommonOptions& common, const RunCommand& command) {
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
  if (is_worker) return RunWorker(common, command, std::move(options), checked);

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
  run->add_option("MODULE", command->module, "Nome do módulo ou caminho do .so")->required();
  run->add_option("--db", command->db, kDbHelp)->required();
  run->add_option("-p,--param", command->params, "Parâmetro NOME=VALOR (repetível)");
  run->add_option("--split", command->split, "Parâmetro separador (repetível)");
  run->add_option("--out", command->out,
                  "Arquivo de saída (- para a saída padrão), ou padrão com {PARAM} por parte");
  run->add_option("--trace", command->trace, "Registro JSON Lines das chamadas do relatório");
  run->add_option("--format", command->format,
                  "Formato: text, pdf, html, xlsx ou csv (padrão: pela extensão)")
      ->check(CLI::IsMember({"text", "txt", "pdf", "html", "xlsx", "csv"}, CLI::ignore_case));
  run->add_option("--password", command->password,
                  "Senha de cada PDF, com {PARAM}, {PARAM:digits} ou {PARAM:digits:N}");
  run->add_option("--archive", command->archive,
                  "Pasta da cópia sem senha (PDF/A-2b) de cada PDF, com o mesmo nome");
  run->add_option("--usuario", command->usuario,
                  "Código do usuário: só as empresas a que ele tem direito (padrão: todas)");
  run->add_option("--manifest", command->manifest,
                  "Registro das partes (.jsonl ou .csv), gravado com as saídas");
  run->add_option("--jobs", command->jobs, "Processos que produzem as partes (padrão: 1)")
      ->check(CLI::Range(1, 64));
  run->add_option("--shard", command->shard,
                  "I/N: só as partes desta fatia de uma execução dividida em N");
  run->add_option("--progress-fd", command->progress_fd,
                  "Descritor que recebe o progresso em linhas JSON")
      ->check(CLI::Range(0, 1 << 20));
  // A worker of a parallel run: given by the run that starts it, not by people.
  run->add_option("--worker", command->worker)->group("");
  run->add_option("--worker-owner", command->worker_owner)->group("");
  run->add_option("--worker-today", command->worker_today)->group("");
  run->add_option("--worker-snapshot", command->worker_snapshot)->group("");
  return {run, [&common, command] { return RunReportCommand(common, *command); }};
}

}  // namespace nrw::cli
