// The logged-in sessions: a 256-bit random id (the cookie) and a CSRF token per session, each
// ending after a while idle and after a fixed time whatever the use.
#pragma once

#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace nrw::server {

struct WebSession {
  std::string id;
  std::string csrf;
  std::string user;
  int usuario = 0;
};

class SessionStore {
 public:
  using Clock = std::chrono::steady_clock;

  SessionStore(std::chrono::seconds idle, std::chrono::seconds absolute)
      : idle_(idle), absolute_(absolute) {}

  WebSession Create(const std::string& user, int usuario);
  //! The live session of that id (its idle time starts over); nullopt for an unknown or expired
  //! one.
  std::optional<WebSession> Touch(const std::string& id);
  void Remove(const std::string& id);
  //! Drops the sessions of a user (removed from the users file).
  void RemoveUser(const std::string& user);
  //! Drops the expired ones.
  void Sweep();

  //! For tests: the clock the store reads.
  void SetNowForTest(std::optional<Clock::time_point> now) { now_for_test_ = now; }

 private:
  struct Entry {
    WebSession session;
    Clock::time_point created;
    Clock::time_point last_seen;
  };
  Clock::time_point Now() const { return now_for_test_.value_or(Clock::now()); }
  bool Expired(const Entry& entry, Clock::time_point now) const;

  std::chrono::seconds idle_;
  std::chrono::seconds absolute_;
  std::optional<Clock::time_point> now_for_test_;
  std::mutex mutex_;
  std::map<std::string, Entry> sessions_;
};

//! Failed logins per key (the name tried, the client's address): after max failures within window
//! the key is refused until the window has passed since the last failure.
class LoginLimiter {
 public:
  using Clock = std::chrono::steady_clock;

  LoginLimiter(int max_failures, std::chrono::seconds window)
      : max_failures_(max_failures), window_(window) {}

  bool Blocked(const std::string& key);
  void Failed(const std::string& key);
  void Succeeded(const std::string& key);
  void SetNowForTest(std::optional<Clock::time_point> now) { now_for_test_ = now; }

 private:
  struct Record {
    int failures = 0;
    Clock::time_point last;
  };
  Clock::time_point Now() const { return now_for_test_.value_or(Clock::now()); }

  int max_failures_;
  std::chrono::seconds window_;
  std::optional<Clock::time_point> now_for_test_;
  std::mutex mutex_;
  std::map<std::string, Record> records_;
};

}  // namespace nrw::server
