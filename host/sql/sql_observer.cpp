#include "sql/sql_observer.h"

#include <utility>

namespace nrw {
namespace {

SqlObserver& Observer() {
  static SqlObserver observer;
  return observer;
}

}  // namespace

void SetSqlObserver(SqlObserver observer) { Observer() = std::move(observer); }

void NotifySqlObserver(const std::string& sql, const std::vector<Variant>& values) {
  if (const SqlObserver& observer = Observer()) observer(sql, values);
}

}  // namespace nrw
