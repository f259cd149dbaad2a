#include <filesystem>
#include <functional>
#include <map>
#include <new>
#include <optional>
#include <sstream>

#include "core/detailed_error.h"
#include "nrw/format.h"
#include "nrw/guards.h"
#include "nrwhost/database.h"
#include "nrwhost/output_format.h"
#include "nrwhost/session.h"
#include "render/pdf_finish.h"
#include "report/trace_events.h"
#include "run/archive_copies.h"
#include "run/output_files.h"
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

std::vector<std::string> ProtectedFiles(const RunOptions& options) {
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

// A run's outputs: the pages of the whole report, or of each produced part, to files (under
// temporary names until everything succeeded), to stdout (once everything succeeded) or to the
// stream.
class RunOutputs {
 public:
  RunOutputs(const RunOptions& options, RunSession& session, RunResult& result)
      : options_(options), session_(session), result_(result), pending_(ProtectedFiles(options)) {}

  void RunWhole() {
    std::string path;
    if (ToFiles(options_)) {
      path = ExpandOutputPattern(options_.output, Lookup(nullptr));
      pending_.Check(path);
      CheckFinishedPdfs({path}, nullptr);
    }
    result_.pages += Produce(path, nullptr, "", [this](std::ostream* out, OutputFormat format) {
      return out != nullptr ? session_.Print(*out, format) : session_.Print();
    });
    if (!path.empty()) result_.outputs.push_back(path);
  }

  void RunParts() {
    session_.SetProducingParts(true);
    const ScopeExit separated_off([this] { session_.SetProducingParts(false); });

    const std::vector<SeparatorPart> parts = session_.ListParts();
    const std::vector<std::string> paths = PartPaths(parts);

    // Every part is asked before any is printed: the run's own instance rebinds the report's
    // separator-values event in its constructor and gives it back when freed.
    std::vector<bool> produce;
    produce.reserve(parts.size());
    for (const SeparatorPart& part : parts) produce.push_back(session_.AskPart(part));

    bool first = true;
    for (size_t i = 0; i < parts.size(); ++i) {
      PartResult part_result;
      part_result.values = parts[i].values;
      part_result.produced = produce[i];
      if (produce[i]) {
        const size_t messages_before = session_.Messages().entries.size();
        part_result.pages = Produce(paths.empty() ? "" : paths[i], &parts[i], first ? "" : "\f",
                                    [&](std::ostream* out, OutputFormat format) {
                                      return out != nullptr
                                                 ? session_.PrintPart(parts[i], *out, format)
                                                 : session_.PrintPart(parts[i]);
                                    });
        result_.pages += part_result.pages;
        const std::vector<MessageEntry> messages = session_.Messages().entries;
        part_result.messages.assign(messages.begin() + static_cast<std::ptrdiff_t>(messages_before),
                                    messages.end());
        first = false;
        if (!paths.empty()) part_result.output = paths[i];
      }
      result_.parts.push_back(std::move(part_result));
    }
    for (const PartResult& part : result_.parts) {
      if (!part.output.empty()) result_.outputs.push_back(part.output);
    }
  }

  void Commit() {
    pending_.Commit();
    result_.outputs.insert(result_.outputs.end(), archived_.begin(), archived_.end());
  }

 private:
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
      return std::nullopt;
    };
  }

  //! Draws the pages of the document (or part) in the format into out, or keeps them (nullptr).
  using Printer = std::function<int(std::ostream* out, OutputFormat format)>;

  //! Prints with print, which writes each page as it is finished: to path (under a temporary
  //! name), to stdout (held until the run succeeded), to the stream, or nowhere (the pages are
  //! kept). Parts that share stdout or the stream are divided by lead. Answers the pages printed.
  int Produce(const std::string& path, const SeparatorPart* part, const std::string& lead,
              const Printer& print) {
    const OutputFormat format = FormatOf(options_, path);
    int pages = 0;
    const auto led = [&](std::ostream& out) {
      out << lead;
      pages = print(&out, format);
    };
    if (!path.empty() && format == OutputFormat::Pdf &&
        (!options_.password.empty() || !options_.archive_dir.empty())) {
      pages = ProduceFinishedPdf(path, part, print);
    } else if (!path.empty()) {
      pending_.Write(path, [&](std::ostream& out) { pages = print(&out, format); });
    } else if (options_.output == "-") {
      pending_.WriteStdout(led);
    } else if (options_.stream != nullptr) {
      led(*options_.stream);
    } else {
      pages = print(nullptr, format);
    }
    return pages;
  }

  //! A PDF drawn in memory, then copied unprotected and archival to the archive folder and
  //! protected with its part's password for path.
  int ProduceFinishedPdf(const std::string& path, const SeparatorPart* part, const Printer& print) {
    std::ostringstream drawn;
    const int pages = print(&drawn, OutputFormat::Pdf);
    const std::string pdf = std::move(drawn).str();
    if (!options_.archive_dir.empty()) {
      const std::string copy = ArchivePath(options_.archive_dir, path);
      const std::string archived = ArchivePdf(pdf, Description(part));
      pending_.Write(copy, [&archived](std::ostream& out) { out << archived; });
      archived_.push_back(copy);
    }
    if (options_.password.empty()) {
      pending_.Write(path, [&pdf](std::ostream& out) { out << pdf; });
    } else {
      const std::string bytes = ProtectPdf(pdf, ExpandPassword(options_.password, Lookup(part)));
      pending_.Write(path, [&bytes](std::ostream& out) { out << bytes; });
    }
    return pages;
  }

  PdfDescription Description(const SeparatorPart* part) const {
    PdfDescription description;
    description.title = session_.Title();
    description.author = "nrw";
    description.subject = part != nullptr ? Describe(*part) : session_.Title();
    const TDateTime today = options_.today.value_or(Date());
    description.created = FormatDateTime("yyyy-mm-dd", today) + "T00:00:00";
    return description;
  }

  //! One file name per part, each checked (clashes, targets) before anything is written.
  std::vector<std::string> PartPaths(const std::vector<SeparatorPart>& parts) {
    std::vector<std::string> paths;
    if (!ToFiles(options_)) return paths;
    std::map<std::string, size_t> owner;
    for (size_t i = 0; i < parts.size(); ++i) {
      std::string path = ExpandOutputPattern(options_.output, Lookup(&parts[i]));
      const auto [found, inserted] = owner.emplace(path, i);
      if (!inserted) {
        throw UsageError("As partes (" + Describe(parts[found->second]) + ") e (" +
                         Describe(parts[i]) + ") gravariam o mesmo arquivo " + path +
                         "; use no nome de saída os parâmetros separadores entre chaves.");
      }
      pending_.Check(path);
      paths.push_back(std::move(path));
    }
    CheckFinishedPdfs(paths, &parts);
    return paths;
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
  std::error_code error;
  if (!std::filesystem::is_directory(options.archive_dir, error)) {
    throw UsageError("A pasta de --archive não existe: " + options.archive_dir + ".");
  }
  std::filesystem::path folder = std::filesystem::path(options.output).parent_path();
  if (folder.empty()) folder = ".";
  if (std::filesystem::equivalent(folder, options.archive_dir, error)) {
    throw UsageError("A pasta de --archive é a mesma das saídas: as cópias gravariam sobre elas.");
  }
}

void Run(const RunOptions& options, std::optional<RunSession>& session, RunResult& result) {
  if (ToFiles(options) && options.output.find('{') == std::string::npos) {
    CheckOutputTarget(options.output, ProtectedFiles(options));
  }
  CheckFormatOptions(options);
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
  if (!result.ok) {
    result.outputs.clear();
    for (PartResult& part : result.parts) part.output.clear();
    if (options.trace != nullptr) options.trace->Line(trace::Error(result.error, result.detail));
  }
  return result;
}

}  // namespace nrw
