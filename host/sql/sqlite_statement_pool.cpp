#include "sql/sqlite_statement_pool.h"

#include <functional>

namespace nrw {

size_t SqliteStatementPool::KeyHash(const std::string& key) {
  return std::hash<std::string>{}(key);
}

std::optional<SqliteStatementPool::Idle> SqliteStatementPool::Take(const std::string& key,
                                                                   size_t hash) {
  for (auto it = idle_.begin(); it != idle_.end(); ++it) {
    if (it->hash != hash || it->key != key) continue;
    Idle idle = std::move(*it);
    idle_.erase(it);
    return idle;
  }
  return std::nullopt;
}

void SqliteStatementPool::Give(Idle idle) {
  if (!idle.stmt) return;
  idle_.push_front(std::move(idle));
  if (idle_.size() > kIdleStatements) idle_.pop_back();
}

}  // namespace nrw
