#include "session_store.h"

#include "secure_random.h"

namespace nrw::server {
namespace {

// 32 bytes: 256 bits for the session id and the token alike.
constexpr size_t kTokenBytes = 32;
// The records kept at most, so that a flood of names cannot grow the map without bound.
constexpr size_t kMaxRecords = 100000;

}  // namespace

WebSession SessionStore::Create(const std::string& user, int usuario) {
  Entry entry;
  entry.session = {RandomHex(kTokenBytes), RandomHex(kTokenBytes), user, usuario};
  entry.created = entry.last_seen = Now();
  const std::lock_guard lock(mutex_);
  sessions_[entry.session.id] = entry;
  return entry.session;
}

bool SessionStore::Expired(const Entry& entry, Clock::time_point now) const {
  return now - entry.last_seen >= idle_ || now - entry.created >= absolute_;
}

std::optional<WebSession> SessionStore::Touch(const std::string& id) {
  const std::lock_guard lock(mutex_);
  const auto found = sessions_.find(id);
  if (found == sessions_.end()) return std::nullopt;
  const Clock::time_point now = Now();
  if (Expired(found->second, now)) {
    sessions_.erase(found);
    return std::nullopt;
  }
  found->second.last_seen = now;
  return found->second.session;
}

void SessionStore::Remove(const std::string& id) {
  const std::lock_guard lock(mutex_);
  sessions_.erase(id);
}

void SessionStore::RemoveUser(const std::string& user) {
  const std::lock_guard lock(mutex_);
  for (auto it = sessions_.begin(); it != sessions_.end();) {
    it = it->second.session.user == user ? sessions_.erase(it) : std::next(it);
  }
}

void SessionStore::Sweep() {
  const std::lock_guard lock(mutex_);
  const Clock::time_point now = Now();
  for (auto it = sessions_.begin(); it != sessions_.end();) {
    it = Expired(it->second, now) ? sessions_.erase(it) : std::next(it);
  }
}

bool LoginLimiter::Blocked(const std::string& key) {
  const std::lock_guard lock(mutex_);
  const auto found = records_.find(key);
  if (found == records_.end()) return false;
  if (Now() - found->second.last >= window_) {
    records_.erase(found);
    return false;
  }
  return found->second.failures >= max_failures_;
}

void LoginLimiter::Failed(const std::string& key) {
  const std::lock_guard lock(mutex_);
  const Clock::time_point now = Now();
  if (records_.size() >= kMaxRecords) {
    for (auto it = records_.begin(); it != records_.end();) {
      it = now - it->second.last >= window_ ? records_.erase(it) : std::next(it);
    }
  }
  Record& record = records_[key];
  if (now - record.last >= window_) record.failures = 0;
  ++record.failures;
  record.last = now;
}

void LoginLimiter::Succeeded(const std::string& key) {
  const std::lock_guard lock(mutex_);
  records_.erase(key);
}

}  // namespace nrw::server
