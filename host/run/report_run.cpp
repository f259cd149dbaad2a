#include <algorithm>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <new>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <unordered_map>

#include "core/detailed_error.h"
#include "nrw/format.h"
#include "nrw/guards.h"
#include "nrwhost/database.h"
#include "nrwhost/output_format.h"
#include "nrwhost/session.h"
#include "render/pdf_finish.h"
#include "report/trace_events.h"
#include "run/archive_copies.h"
#include "run/manifest.h"
#include "run/output_files.h"
#include "run/parts_ahead.h"
#include "run/password_template.h"

namespace nrw {
namespace {

std::string Describe(const SeparatorPart& part) {
  std::string text;
  for (const auto& [name, value] : part.values) {
    if (!text.empty()) text += ", ";
    text += name + "=" + value;
  }
  return text;
}

std::string JsonString(const std::string& text) { return nlohmann::json(text).dump(); }

std::vector<std::string> ProtectedPaths(const RunOptions& options) {
  std::vector<std::string> files = options.protected_files;
  if (const TnConnection* connection = TnConnection::Default()) {
    for (std::string& file : DatabaseFiles(connection->FilePath()))
      files.push_back(std::move(file));
  }
  return files;
}

//! Whether the run writes files (not stdout, not the caller's stream).
bool ToFiles(const RunOptions& options) { return !options.output.empty() && options.output != "-"; }

//! The format of an output: the one asked for, else the one of the file's extension, else text.
OutputFormat FormatOf(const RunOptions& options, const std::string& path) {
  return options.format.value_or(FormatOfPath(path).value_or(OutputFormat::Text));
}

// The shard of a part: FNV-1a (64 bits) of its values as compact JSON, so that every run of the
// same parts divides them alike, on any machine.
int ShardOf(const SeparatorPart& part, int count) {
  std::string text = "{";
  for (size_t i = 0; i < part.values.size(); ++i) {
    if (i > 0) text += ',';
    text += JsonString(part.values[i].first) + ":" + JsonString(part.values[i].second);
  }
  text += "}";
  uint64_t hash = 14695981039346656037ull;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return static_cast<int>(hash % static_cast<uint64_t>(count)) + 1;
}

// "[versao: 1.1.13.0]" -> "1.1.13.0".
std::string VersionNumber(const std::string& versao) {
  const size_t colon = versao.find(':');
  const size_t close = versao.rfind(']');
  if (colon == std::string::npos || close == std::string::npos || close < colon) return versao;
  return Trim(versao.substr(colon + 1, close - colon - 1));
}

// Now in ISO 8601 with the local offset ("2026-12-09T22:00:00-03:00").
std::string NowIso() {
  const std::time_t now = std::time(nullptr);
  std::tm local = {};
  localtime_r(&now, &local);
  char text[40];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
  std::string iso = text;
  if (iso.size() >= 5) iso.insert(iso.size() - 2, ":");
  return iso;
}

// A run's outputs: the pages of the whole report, or of each produced part, to files (under
// temporary names until everything succeeded), to stdout (once everything succeeded) or to the
// stream. A document without pages writes no file.
class RunOutputs {
 public:
  RunOutputs(const RunOptions& options, RunSession& session, RunResult& result)
      : options_(options),
        session_(session),
        result_(result),
        // Only a manifest records the hashes (a worker's go to its parent's manifest).
        pending_(ProtectedPaths(options),
                 !options.manifest.path.empty() || (options.worker && options.worker_hashes)) {}

  void RunWhole() {
    std::string path;
    if (ToFiles(options_)) {
      path = ExpandOutputPattern(options_.output, Lookup(nullptr));
      pending_.Check(path);
      CheckFinishedPdfs({path}, nullptr);
    }
    PartResult whole;
    Produce(path, nullptr, "", whole, [this](std::ostream* out, OutputFormat format) {
      return out != nullptr ? session_.Print(*out, format) : session_.Print();
    });
    result_.pages += whole.pages;
    if (!whole.output.empty()) result_.outputs.push_back(whole.output);
  }

  void RunParts() {
    session_.SetProducingParts(true);
    const ScopeExit separated_off([this] { session_.SetProducingParts(false); });

    const std::vector<SeparatorPart> parts = session_.ListParts();
    result_.run_parts = parts.size();

    // Every part is asked before any is printed: the run's own instance rebinds the report's
    // separator-values event in its constructor and gives it back when freed.
    std::vector<PartResult> plan(parts.size());
    for (size_t i = 0; i < parts.size(); ++i) {
      PartResult& part = plan[i];
      part.number = i + 1;
      part.values = parts[i].values;
      part.row = parts[i].row;
      part.produced = session_.AskPart(parts[i]);
      part.status = Mine(parts[i], part.number) ? PartStatus::Refused : PartStatus::Elsewhere;
    }
    PlanPaths(parts, plan);

    if (options_.delegate) {
      Delegate(plan);
    } else {
      ProduceParts(parts, plan);
    }
    result_.parts = std::move(plan);
    for (const PartResult& part : result_.parts) {
      if (part.status == PartStatus::Written && !part.output.empty()) {
        result_.outputs.push_back(part.output);
      }
    }
  }

  void Commit() {
    if (!options_.manifest.path.empty()) WriteManifest();
    if (options_.worker) {
      pending_.HandOver();
      return;
    }
    pending_.Commit();
    result_.outputs.insert(result_.outputs.end(), archived_.begin(), archived_.end());
    if (!options_.manifest.path.empty()) result_.manifest = options_.manifest.path;
  }

 private:
  // Whether this run produces the part: its shard's, and a worker's own.
  bool Mine(const SeparatorPart& part, size_t number) const {
    if (options_.shard && ShardOf(part, options_.shard->count) != options_.shard->index) {
      return false;
    }
    if (!options_.worker) return true;
    return (number - 1) % static_cast<size_t>(options_.worker->count) ==
           static_cast<size_t>(options_.worker->index - 1);
  }

  void ProduceParts(const std::vector<SeparatorPart>& parts, std::vector<PartResult>& plan) {
    size_t total = 0;
    for (const PartResult& part : plan) total += part.status != PartStatus::Elsewhere ? 1 : 0;
    size_t done = 0;
    bool first = true;
    std::vector<size_t> printed;
    for (size_t i = 0; i < parts.size(); ++i) {
      if (plan[i].status != PartStatus::Elsewhere && plan[i].produced) printed.push_back(i);
    }
    PartsAhead ahead(parts, std::move(printed));
    for (size_t i = 0; i < parts.size(); ++i) {
      PartResult& part = plan[i];
      if (part.status == PartStatus::Elsewhere) continue;
      if (part.produced) {
        ahead.Begin(i);
        const std::string path = part.output;
        part.output.clear();
        const size_t messages_before = session_.Messages().entries.size();
        result_.failed_part = part.number;
        Produce(path, &parts[i], first ? "" : "\f", part,
                [&](std::ostream* out, OutputFormat format) {
                  return out != nullptr ? session_.PrintPart(parts[i], *out, format)
                                        : session_.PrintPart(parts[i]);
                });
        const MessagePage messages = session_.Messages();
        for (size_t m = messages_before; m < messages.entries.size(); ++m) {
          part.messages.push_back(messages.entries[m]);
        }
        result_.failed_part = 0;
        result_.pages += part.pages;
        first = first && part.pages == 0;
      } else {
        part.output.clear();
      }
      if (options_.part_done) options_.part_done(part, ++done, total);
    }
  }

  // The workers produce the parts; their files are taken in charge here, to be committed with the
  // rest.
  void Delegate(std::vector<PartResult>& plan) {
    std::vector<PartResult> made = options_.delegate(plan);
    std::unordered_map<size_t, PartResult*> made_by_number;
    made_by_number.reserve(made.size());
    for (PartResult& part : made) made_by_number.emplace(part.number, &part);
    for (PartResult& part : plan) {
      if (part.status == PartStatus::Elsewhere) continue;
      if (!part.produced) {
        part.output.clear();
        continue;
      }
      const auto found = made_by_number.find(part.number);
      if (found == made_by_number.end()) {
        throw Exception("A parte " + Describe(part) + " não foi produzida.");
      }
      PartResult& worker = *found->second;
      if (worker.status == PartStatus::Written) {
        pending_.Adopt(worker.output, worker.output_temp, worker.output_temp_new_file_mode);
        if (!worker.archive.empty()) {
          pending_.Adopt(worker.archive, worker.archive_temp, worker.archive_temp_new_file_mode);
          archived_.push_back(worker.archive);
        }
      }
      worker.output_temp.clear();
      worker.archive_temp.clear();
      result_.pages += worker.pages;
      part = std::move(worker);
    }
  }

  static std::string Describe(const PartResult& part) {
    std::string text;
    for (const auto& [name, value] : part.values) {
      if (!text.empty()) text += ", ";
      text += name + "=" + value;
    }
    return text;
  }

  void WriteManifest() {
    ManifestHeader header;
    header.module = session_.ReportName();
    header.module_version = VersionNumber(session_.PanelInstance().Versao());
    header.created = NowIso();
    header.output_format =
        FormatName(FormatOf(options_, ToFiles(options_) ? options_.output : std::string()));
    const std::string text = ManifestText(options_, header, result_.parts, result_.run_parts);
    pending_.Write(options_.manifest.path, [&text](std::ostream& out) { out << text; });
  }

  PatternLookup Lookup(const SeparatorPart* part) {
    return [this, part](std::string_view name) -> std::optional<std::string> {
      if (part != nullptr) {
        for (const auto& [param, value] : part->values) {
          if (SameText(param, name)) return value;
        }
      }
      if (const TnpqParamItem* item = session_.Panel().FindParam(name)) {
        return item->GetAsString();
      }
      if (part != nullptr) {
        for (const auto& [column, value] : part->row) {
          if (SameText(column, name)) return value.AsString();
        }
      }
      return std::nullopt;
    };
  }

  //! Draws the pages of the document (or part) in the format into out, or keeps them (nullptr).
  using Printer = std::function<int(std::ostream* out, OutputFormat format)>;

  //! Prints with print, which writes each page as it is finished: to path (under a temporary
  //! name; no file when no page was printed), to stdout (held until the run succeeded), to the
  //! stream, or nowhere (the pages are kept). Parts that share stdout or the stream are divided
  //! by lead. Fills what was printed and written into into.
  void Produce(const std::string& path, const SeparatorPart* part, const std::string& lead,
               PartResult& into, const Printer& print) {
    const OutputFormat format = FormatOf(options_, path);
    into.format = format;
    int pages = 0;
    if (!path.empty() && format == OutputFormat::Pdf &&
        (!options_.password.empty() || !options_.archive_dir.empty())) {
      pages = ProduceFinishedPdf(path, part, into, print);
    } else if (!path.empty()) {
      const std::optional<WrittenFile> written = pending_.WriteIf(path, [&](std::ostream& out) {
        pages = print(&out, format);
        return pages > 0;
      });
      if (written) Record(path, *written, into);
    } else if (options_.output == "-") {
      pending_.WriteStdout([&](std::ostream& out) {
        // Held in memory only as far as the lead goes: a part without pages prints nothing.
        std::ostringstream drawn;
        pages = print(&drawn, format);
        if (pages > 0) out << lead << drawn.view();
      });
    } else if (options_.stream != nullptr) {
      std::ostringstream drawn;
      pages = print(&drawn, format);
      if (pages > 0) *options_.stream << lead << drawn.view();
    } else {
      pages = print(nullptr, format);
    }
    into.pages = pages;
    if (into.status != PartStatus::Written) into.status = PartStatus::Empty;
  }

  void Record(const std::string& path, const WrittenFile& written, PartResult& into) {
    into.status = PartStatus::Written;
    into.output = path;
    into.output_temp = written.temp;
    into.output_temp_new_file_mode = written.new_file_mode;
    into.bytes = written.bytes;
    into.sha256 = written.sha256;
  }

  //! A PDF drawn in memory, then copied unprotected and archival to the archive folder and
  //! protected with its part's password for path. Nothing is written without pages.
  int ProduceFinishedPdf(const std::string& path, const SeparatorPart* part, PartResult& into,
                         const Printer& print) {
    std::ostringstream drawn;
    const int pages = print(&drawn, OutputFormat::Pdf);
    if (pages == 0) return 0;
    const std::string pdf = std::move(drawn).str();
    if (!options_.archive_dir.empty()) {
      const std::string copy = ArchivePath(options_.archive_dir, path);
      const std::string archived = ArchivePdf(pdf, Description(part));
      const WrittenFile written =
          pending_.Write(copy, [&archived](std::ostream& out) { out << archived; });
      into.archive = copy;
      into.archive_temp = written.temp;
      into.archive_temp_new_file_mode = written.new_file_mode;
      into.archive_sha256 = written.sha256;
      archived_.push_back(copy);
    }
    if (options_.password.empty()) {
      Record(path, pending_.Write(path, [&pdf](std::ostream& out) { out << pdf; }), into);
    } else {
      const std::string bytes = ProtectPdf(pdf, ExpandPassword(options_.password, Lookup(part)));
      Record(path, pending_.Write(path, [&bytes](std::ostream& out) { out << bytes; }), into);
      into.is_protected = true;
    }
    return pages;
  }

  PdfDescription Description(const SeparatorPart* part) const {
    PdfDescription description;
    description.title = session_.Title();
    description.author = "nrw";
    description.subject = part != nullptr ? nrw::Describe(*part) : session_.Title();
    const TDateTime today = options_.today.value_or(Date());
    description.created = FormatDateTime("yyyy-mm-dd", today) + "T00:00:00";
    return description;
  }

  //! One file name per part (in each plan entry's output), each checked (clashes, targets) before
  //! anything is written. Names of every part are told apart, so that the shards of one run never
  //! write the same file; only this run's own targets are checked on the disk.
  void PlanPaths(const std::vector<SeparatorPart>& parts, std::vector<PartResult>& plan) {
    if (!ToFiles(options_)) return;
    std::map<std::string, size_t> owner;
    for (size_t i = 0; i < parts.size(); ++i) {
      std::string path = ExpandOutputPattern(options_.output, Lookup(&parts[i]));
      const auto [found, inserted] = owner.emplace(path, i);
      if (!inserted) {
        throw UsageError("As partes (" + nrw::Describe(parts[found->second]) + ") e (" +
                         nrw::Describe(parts[i]) + ") gravariam o mesmo arquivo " + path +
                         "; use no nome de saída os parâmetros separadores entre chaves.");
      }
      if (plan[i].status != PartStatus::Elsewhere && plan[i].produced) pending_.Check(path);
      plan[i].output = std::move(path);
      plan[i].format = FormatOf(options_, plan[i].output);
    }
    std::vector<std::string> paths;
    std::vector<SeparatorPart> mine;
    for (size_t i = 0; i < parts.size(); ++i) {
      if (plan[i].status == PartStatus::Elsewhere || !plan[i].produced) continue;
      paths.push_back(plan[i].output);
      mine.push_back(parts[i]);
    }
    CheckFinishedPdfs(paths, &mine);
  }

  //! Before anything is printed: every archival copy has a name of its own and a protected part's
  //! password is one a reader can type (ExpandPassword raises for the part otherwise).
  void CheckFinishedPdfs(const std::vector<std::string>& paths,
                         const std::vector<SeparatorPart>* parts) {
    if (!options_.archive_dir.empty()) {
      CheckArchiveCopies(options_.archive_dir, paths);
      for (const std::string& path : paths) pending_.Check(ArchivePath(options_.archive_dir, path));
    }
    if (options_.password.empty()) return;
    for (size_t i = 0; i < paths.size(); ++i) {
      ExpandPassword(options_.password, Lookup(parts != nullptr ? &(*parts)[i] : nullptr));
    }
  }

  const RunOptions& options_;
  RunSession& session_;
  RunResult& result_;
  PendingOutputs pending_;
  std::vector<std::string> archived_;
};

// What the format asks of the outputs, checked before anything runs.
void CheckFormatOptions(const RunOptions& options) {
  const bool to_files = ToFiles(options);
  if (to_files && options.split.empty() && options.output.find('{') != std::string::npos) {
    throw UsageError("--out '" + options.output +
                     "' é um padrão com {PARAM}, que dá um nome a cada parte: use-o com --split.");
  }
  // A name that asks for a format nrw does not write (".docx") would silently get text.
  const std::string extension = std::filesystem::path(options.output).extension().string();
  if (to_files && !options.format && !extension.empty() && !FormatOfPath(options.output)) {
    throw UsageError("--out: a extensão '" + extension +
                     "' não é de um formato que o nrw grava (.txt, .pdf, .html, .xlsx, .csv); "
                     "use uma delas ou diga o formato com --format.");
  }
  if (LiteralPasswordBytes(options.password) > kMaxPasswordBytes) {
    throw UsageError("--password: a senha passa de " + std::to_string(kMaxPasswordBytes) +
                     " bytes, o limite da proteção AES-256 do PDF.");
  }
  const OutputFormat format = FormatOf(options, to_files ? options.output : "");
  if (!to_files && !options.split.empty() && format != OutputFormat::Text) {
    throw UsageError(
        "Partes em PDF, HTML, XLSX ou CSV vão cada uma para o seu arquivo: dê em --out um nome "
        "com os parâmetros separadores entre chaves.");
  }
  if (!options.password.empty() && (!to_files || format != OutputFormat::Pdf)) {
    throw UsageError("--password protege só saídas em PDF gravadas em arquivo (--out NOME.pdf).");
  }
  if (options.archive_dir.empty()) return;
  if (!to_files || format != OutputFormat::Pdf) {
    throw UsageError("--archive copia só saídas em PDF gravadas em arquivo (--out NOME.pdf).");
  }
  // A missing folder is made when the first copy is written.
  std::error_code error;
  if (std::filesystem::exists(options.archive_dir, error) &&
      !std::filesystem::is_directory(options.archive_dir, error)) {
    throw UsageError("--archive " + options.archive_dir + ": não é uma pasta.");
  }
  std::filesystem::path folder = std::filesystem::path(options.output).parent_path();
  if (folder.empty()) folder = ".";
  if (std::filesystem::equivalent(folder, options.archive_dir, error)) {
    throw UsageError("A pasta de --archive é a mesma das saídas: as cópias gravariam sobre elas.");
  }
}

// The manifest is one more output of the run: a regular file of its own, named .jsonl or .csv.
void CheckManifestOptions(const RunOptions& options) {
  const std::string& path = options.manifest.path;
  if (path.empty()) return;
  const std::string extension = std::filesystem::path(path).extension().string();
  if (!SameText(extension, ".jsonl") && !SameText(extension, ".csv")) {
    throw UsageError("--manifest " + path + ": use um nome terminado em .jsonl ou .csv.");
  }
  if (options.split.empty()) {
    throw UsageError("--manifest registra as partes de uma execução com --split.");
  }
  if (!ToFiles(options)) {
    throw UsageError("--manifest registra arquivos: dê em --out o nome de cada parte.");
  }
  if (std::filesystem::exists(std::filesystem::path(path).parent_path().empty()
                                  ? std::filesystem::path(".")
                                  : std::filesystem::path(path).parent_path())) {
    CheckOutputTarget(path, ProtectedPaths(options));
  }
}

void CheckShard(const RunOptions& options) {
  if (!options.shard) return;
  if (options.split.empty()) {
    throw UsageError("--shard divide as partes de uma execução com --split.");
  }
  if (options.shard->count < 1 || options.shard->index < 1 ||
      options.shard->index > options.shard->count) {
    throw UsageError("--shard I/N: I vai de 1 a N.");
  }
}

void Run(const RunOptions& options, std::optional<RunSession>& session, RunResult& result) {
  if (ToFiles(options) && options.output.find('{') == std::string::npos) {
    CheckOutputTarget(options.output, ProtectedPaths(options));
  }
  CheckFormatOptions(options);
  CheckManifestOptions(options);
  CheckShard(options);
  session.emplace(options);
  session->ActivateSeparators(options.split);
  session->StartTracing();
  RunOutputs outputs(options, *session, result);
  if (options.split.empty()) {
    outputs.RunWhole();
  } else {
    outputs.RunParts();
  }
  outputs.Commit();
}

}  // namespace

RunResult RunReport(const RunOptions& options) {
  RunResult result;
  {
    std::optional<RunSession> session;
    try {
      Run(options, session, result);
      result.ok = true;
    } catch (const UsageError& error) {
      result.usage_error = true;
      result.error = error.what();
      result.detail = error.Detail();
    } catch (const DetailedError& error) {
      result.error = error.what();
      result.detail = error.Detail();
    } catch (const Exception& error) {
      result.error = error.what();
    } catch (const std::bad_alloc&) {
      result.error = "Memória insuficiente para concluir o relatório.";
    } catch (const std::exception& error) {
      result.error = "Erro inesperado durante a execução do relatório.";
      result.detail = error.what();
    } catch (...) {
      result.error = "Erro desconhecido durante a execução do relatório.";
    }
    if (session) result.messages = session->Messages();
  }
  // The workers' parts spoke on their own message pages.
  if (options.delegate) {
    for (const PartResult& part : result.parts) {
      result.messages.entries.insert(result.messages.entries.end(), part.messages.begin(),
                                     part.messages.end());
    }
  }
  if (!result.ok) {
    result.outputs.clear();
    result.manifest.clear();
    for (PartResult& part : result.parts) {
      part.output.clear();
      part.archive.clear();
    }
    if (options.trace != nullptr) options.trace->Line(trace::Error(result.error, result.detail));
  }
  return result;
}

}  // namespace nrw
