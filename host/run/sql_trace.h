// Records the statements the module sends (ExecutarSQL, RefreshSQL) on the engine's trace for the
// binding's lifetime. Only one binding may be alive at a time: the SQL layer has one observer.
#pragma once

#include "report/engine.h"

namespace nrw {

class SqlTraceBinding {
 public:
  explicit SqlTraceBinding(TnReportEngine& engine);
  ~SqlTraceBinding();
  SqlTraceBinding(const SqlTraceBinding&) = delete;
  SqlTraceBinding& operator=(const SqlTraceBinding&) = delete;
};

}  // namespace nrw
