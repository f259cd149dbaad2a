#include "report/report_run.h"

#include <ctime>
#include <map>
#include <memory>

#include "nrw/format.h"
#include "nrw/guards.h"
#include "report/layout_loader.h"
#include "report/main_dataset.h"
#include "report/module_loader.h"
#include "report/output_files.h"
#include "report/separators.h"
#include "report/sql_trace.h"
#include "report/text_renderer.h"
#include "report/trace_events.h"

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

// The module, the report and the panel's instance of the report class, torn down in the reverse
// order: the instance and the report hold handlers whose code lives in the module.
class RunSession {
 public:
  RunSession(const RunOptions& options, RunResult& result)
      : options_(options),
        result_(result),
        writer_(options.writer ? options.writer : PageWriter(RenderText)) {}

  void Run() {
    layout_ = std::make_shared<const Layout>(LoadLayout(options_.layout_path));
    module_ = std::make_unique<LoadedModule>(options_.module_path);
    const TnrwBaseDllClass& report_class = module_->ReportClass();
    report_ = std::make_unique<TnrwReport>(std::make_unique<TnReportEngine>(layout_));
    TnReportEngine& engine = report_->Engine();
    const TDateTime today = options_.today.value_or(Date());
    engine.SetTrace(options_.trace);
    engine.SetProgressListener(options_.progress);
    engine.SetToday(today);

    panel_instance_ = report_class.Create(*report_);
    BuildPanel(*layout_, *panel_instance_, report_->GetParams(), today);
    ApplyParamSettings(*layout_, options_.params, *panel_instance_, report_->GetParams());
    ActivateSeparators(*layout_, options_.split, report_->GetParams());

    engine.SetTracing(true);
    const SqlTraceBinding sql_trace(engine);
    PendingOutputs outputs;
    if (options_.split.empty()) {
      RunWhole(outputs);
    } else {
      RunParts(outputs);
    }
    outputs.Commit();
  }

  ~RunSession() {
    if (report_) result_.messages = report_->Engine().Messages();
    panel_instance_.reset();
    report_.reset();
    module_.reset();
  }

 private:
  TnReportEngine& Engine() { return report_->Engine(); }

  PatternLookup Lookup(const SeparatorPart* part) {
    return [this, part](std::string_view name) -> std::optional<std::string> {
      if (part != nullptr) {
        for (const auto& [param, value] : part->values) {
          if (SameText(param, name)) return value;
        }
      }
      if (const TnpqParamItem* item = report_->GetParams().FindParam(name)) {
        return item->GetAsString();
      }
      return std::nullopt;
    };
  }

  //! Runs Imprimir over freshly opened data and answers the pages printed.
  int PrintOnce() {
    OpenMainDataSet(Engine());
    Engine().ClearPages();
    module_->Imprimir(report_->Handle());
    const int pages = Engine().Pages().PageNumber();
    result_.pages += pages;
    return pages;
  }

  //! Writes the current pages to path (under a temporary name) or to the stream.
  void Deliver(PendingOutputs& outputs, const std::string& path) {
    const std::vector<Page>& pages = Engine().Pages().Pages();
    if (!path.empty()) {
      outputs.Write(path, [&](std::ostream& out) { writer_(*layout_, pages, out); });
    } else if (options_.stream != nullptr) {
      writer_(*layout_, pages, *options_.stream);
    }
  }

  void RunWhole(PendingOutputs& outputs) {
    const std::string path =
        options_.output.empty() ? "" : ExpandOutputPattern(options_.output, Lookup(nullptr));
    PrintOnce();
    Deliver(outputs, path);
    if (!path.empty()) result_.outputs.push_back(path);
  }

  void RunParts(PendingOutputs& outputs) {
    TnReportEngine& engine = Engine();
    engine.SetGerandoSeparado(true);
    const ScopeExit separated_off([&engine] { engine.SetGerandoSeparado(false); });

    const std::vector<SeparatorPart> parts = ListSeparatorParts(engine);
    const std::vector<std::string> paths = PartPaths(parts);

    // Every part is asked before any is printed: the run's own instance rebinds the report's
    // separator-values event in its constructor and gives it back when freed.
    std::vector<bool> produce;
    for (const SeparatorPart& part : parts) {
      ApplyPart(engine, part);
      bool generate = true;
      const auto ask = report_->OnSeparatorValues;
      ask(*report_, generate);
      produce.push_back(generate);
    }

    bool first_to_stream = true;
    for (size_t i = 0; i < parts.size(); ++i) {
      PartResult part_result;
      part_result.values = parts[i].values;
      part_result.produced = produce[i];
      if (produce[i]) {
        engine.Emit(trace::Part(parts[i].values));
        ApplyPart(engine, parts[i]);
        part_result.pages = PrintOnce();
        if (paths.empty() && options_.stream != nullptr && !first_to_stream) {
          *options_.stream << '\f';
        }
        first_to_stream = false;
        Deliver(outputs, paths.empty() ? "" : paths[i]);
        if (!paths.empty()) part_result.output = paths[i];
      }
      result_.parts.push_back(std::move(part_result));
    }
    for (const PartResult& part : result_.parts) {
      if (!part.output.empty()) result_.outputs.push_back(part.output);
    }
  }

  //! One file name per part, checked for clashes before anything is written.
  std::vector<std::string> PartPaths(const std::vector<SeparatorPart>& parts) {
    std::vector<std::string> paths;
    if (options_.output.empty()) return paths;
    std::map<std::string, size_t> owner;
    for (size_t i = 0; i < parts.size(); ++i) {
      std::string path = ExpandOutputPattern(options_.output, Lookup(&parts[i]));
      const auto [found, inserted] = owner.emplace(path, i);
      if (!inserted) {
        throw Exception("As partes (" + Describe(parts[found->second]) + ") e (" +
                        Describe(parts[i]) + ") gravariam o mesmo arquivo " + path +
                        "; use no nome de saída os parâmetros separadores entre chaves.");
      }
      paths.push_back(std::move(path));
    }
    return paths;
  }

  const RunOptions& options_;
  RunResult& result_;
  PageWriter writer_;
  std::shared_ptr<const Layout> layout_;
  std::unique_ptr<LoadedModule> module_;
  std::unique_ptr<TnrwReport> report_;
  std::unique_ptr<TnrwBaseDll> panel_instance_;
};

}  // namespace

RunResult RunReport(const RunOptions& options) {
  RunResult result;
  {
    RunSession session(options, result);
    try {
      session.Run();
      result.ok = true;
    } catch (const std::exception& error) {
      result.error = error.what();
    } catch (...) {
      result.error = "Erro desconhecido durante a execução do relatório.";
    }
  }
  if (!result.ok) {
    result.outputs.clear();
    for (PartResult& part : result.parts) part.output.clear();
    if (options.trace != nullptr) options.trace->Line(trace::Error(result.error));
  }
  return result;
}

}  // namespace nrw
