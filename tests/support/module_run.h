// Runs of a built report module through the real run session, as `nrw run` makes them, recorded
// through the trace; and a session kept in the test's hands for calls a whole run cannot make.
#pragma once

#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "nrw/datetime.h"
#include "nrwhost/session.h"
#include "nrwhost/trace.h"
#include "support/temp_dir.h"
#include "support/trace_record.h"

namespace support {

//! The date every test run takes as today.
nrw::TDateTime TestToday();

struct ModuleRun {
  //! The module's name ("RptIncomeStatement"): its built library and its layout.
  std::string module = {};
  std::vector<nrw::ParamSetting> params = {};
  std::vector<std::string> split = {};
  //! An output file or name pattern; empty: the pages are kept as text in the outcome.
  std::string output = {};
  //! Another layout file; empty: layouts/<module>.json.
  std::string layout = {};
};

struct RunOutcome : TraceRecord {
  RunOutcome(nrw::RunResult run_result, std::vector<std::string> lines, std::string pages)
      : TraceRecord(std::move(lines)), result(std::move(run_result)), text(std::move(pages)) {}
  nrw::RunResult result;
  //! The pages drawn as text, when no output file was asked.
  std::string text;
};

RunOutcome Run(const ModuleRun& run);

//! A session of the module with its panel built (the run's values applied) and the trace on.
class ModuleSession {
 public:
  explicit ModuleSession(const ModuleRun& run);
  nrw::RunSession& Session() { return *session_; }
  nrw::TnrwReport& Report() { return session_->Report(); }
  nrw::TnpqPowerParam& Panel() { return session_->Panel(); }
  //! What was traced since the last call.
  TraceRecord TakeTrace();

 private:
  nrw::TraceCollector trace_;
  std::unique_ptr<nrw::RunSession> session_;
};

//! The module's layout changed by the test, written into the folder; answers the file.
std::string LayoutVariant(const TempDir& dir, const std::string& module,
                          const std::function<void(nlohmann::json&)>& change);

}  // namespace support
