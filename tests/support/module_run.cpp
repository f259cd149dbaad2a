#include "support/module_run.h"

#include <fstream>
#include <sstream>

#include "support/paths.h"

namespace support {
namespace {

nrw::SessionOptions Options(const ModuleRun& run, nrw::TraceSink& trace) {
  nrw::SessionOptions options;
  options.module_path = ModulePath(run.module);
  options.layout_path = run.layout.empty() ? LayoutPath(run.module) : run.layout;
  options.params = run.params;
  options.today = TestToday();
  options.trace = &trace;
  return options;
}

}  // namespace

nrw::TDateTime TestToday() { return nrw::EncodeDate(2024, 3, 15); }

RunOutcome Run(const ModuleRun& run) {
  nrw::TraceCollector trace;
  nrw::RunOptions options;
  static_cast<nrw::SessionOptions&>(options) = Options(run, trace);
  options.split = run.split;
  options.output = run.output;
  std::ostringstream pages;
  if (run.output.empty()) options.stream = &pages;
  nrw::RunResult result = nrw::RunReport(options);
  return RunOutcome(std::move(result), trace.Lines(), pages.str());
}

ModuleSession::ModuleSession(const ModuleRun& run)
    : session_(std::make_unique<nrw::RunSession>(Options(run, trace_))) {
  session_->StartTracing();
}

TraceRecord ModuleSession::TakeTrace() {
  TraceRecord record(trace_.Lines());
  trace_.Clear();
  return record;
}

std::string LayoutVariant(const TempDir& dir, const std::string& module,
                          const std::function<void(nlohmann::json&)>& change) {
  std::ifstream in(LayoutPath(module));
  nlohmann::json layout = nlohmann::json::parse(in);
  change(layout);
  static int count = 0;
  const std::string path = dir.File(module + "-variant-" + std::to_string(++count) + ".json");
  std::ofstream(path) << layout.dump(2);
  return path;
}

}  // namespace support
