// One run of a report module, end to end, as the nrw command asks for it: load the module and the
// layout, build the panel through the report class's hooks, apply the user's values, open the main
// dataset, run Imprimir (once, or once per separated part) and write the outputs. Errors do not
// escape: they come back in the result, after the trace's final error event.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "nrw/datetime.h"
#include "report/engine.h"
#include "report/layout.h"
#include "report/message_page.h"
#include "report/page_model.h"
#include "report/panel_builder.h"
#include "report/trace.h"

namespace nrw {

//! Draws a run's (or a part's) pages into an output.
using PageWriter =
    std::function<void(const Layout& layout, const std::vector<Page>& pages, std::ostream& out)>;

struct RunOptions {
  std::string module_path;
  std::string layout_path;
  //! The user's parameter values, in the order given.
  std::vector<ParamSetting> params;
  //! Parameters whose separators split the run into parts, in the order given.
  std::vector<std::string> split;
  //! Output file, or with separators a name pattern with {PARAM} placeholders. Empty: the pages go
  //! to stream (when there is one).
  std::string output;
  std::ostream* stream = nullptr;
  //! Borrowed; nullptr: no trace.
  TraceSink* trace = nullptr;
  TnReportEngine::ProgressListener progress;
  //! Today for the defaults' markers and "[@DATA]"; the system date when empty.
  std::optional<TDateTime> today;
  //! The text renderer when empty.
  PageWriter writer;
};

struct PartResult {
  std::vector<std::pair<std::string, std::string>> values;
  //! False when the module refused the part.
  bool produced = false;
  int pages = 0;
  //! The file written; empty when the part went to the stream or was not produced.
  std::string output;
};

struct RunResult {
  bool ok = false;
  //! The message of the error that ended the run; empty when it succeeded.
  std::string error;
  MessagePage messages;
  //! Pages printed, over all parts.
  int pages = 0;
  //! Files written (only when the run succeeded).
  std::vector<std::string> outputs;
  //! One per candidate part; empty for a run without separators.
  std::vector<PartResult> parts;
};

RunResult RunReport(const RunOptions& options);

}  // namespace nrw
