#include "run/sql_trace.h"

#include "report/trace_events.h"
#include "sql/sql_observer.h"

namespace nrw {

SqlTraceBinding::SqlTraceBinding(TnReportEngine& engine) {
  SetSqlObserver([&engine](const std::string& sql, const std::vector<Variant>& values) {
    engine.Emit([&] { return trace::Sql(sql, values); });
  });
}

SqlTraceBinding::~SqlTraceBinding() { SetSqlObserver(SqlObserver()); }

}  // namespace nrw
