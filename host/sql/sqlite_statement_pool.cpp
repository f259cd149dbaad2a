#include "sql/sqlite_statement_pool.h"

#include <functional>

namespace nrw {

std::optional<SqliteStatementPool::Idle> SqliteStatementPool::Take(const std::string& key) {
  const size_t hash = std::hash<std::string>{}(key);
  for (auto it = idle_.begin(); it != idle_.end(); ++it) {
    if (it->hash != hash || it->idle.key != key) continue;
    Idle idle = std::move(it->idle);
    idle_.erase(it);
    return idle;
  }
  return std::nullopt;
}

void SqliteStatementPool::Give(Idle idle) {
  if (!idle.stmt) return;
  const size_t hash = std::hash<std::string>{}(idle.key);
  idle_.push_front({hash, std::move(idle)});
  if (idle_.size() > kIdleStatements) idle_.pop_back();
}

}  // namespace nrw
