// Host-internal: prepared statements no longer in use, kept by what they were prepared for (a key:
// the rewritten text, and what else the preparation depended on) for the next statement of the same
// key, so that a statement run once per separated part is prepared once per run. Most recently
// given first; at most a limit are kept, the least recently given going first.
#pragma once

#include <cstddef>
#include <functional>
#include <list>
#include <optional>
#include <string>
#include <utility>

namespace nrw {

template <class T>
class IdleStatements {
 public:
  explicit IdleStatements(size_t limit) : limit_(limit) {}

  //! Long keys that share their first hundreds of bytes are told apart at once by their hash.
  static size_t Hash(const std::string& key) { return std::hash<std::string>{}(key); }

  //! The idle statement of the key, taken out; nothing when none waits.
  std::optional<T> Take(const std::string& key, size_t hash) {
    for (auto it = kept_.begin(); it != kept_.end(); ++it) {
      if (it->hash != hash || it->key != key) continue;
      T statement = std::move(it->statement);
      kept_.erase(it);
      return statement;
    }
    return std::nullopt;
  }

  //! Keeps the statement; answers the one let go to stay within the limit, if any.
  std::optional<T> Give(std::string key, size_t hash, T statement) {
    kept_.push_front({std::move(key), hash, std::move(statement)});
    if (kept_.size() <= limit_) return std::nullopt;
    T released = std::move(kept_.back().statement);
    kept_.pop_back();
    return released;
  }

 private:
  struct Kept {
    std::string key;
    size_t hash;
    T statement;
  };
  std::list<Kept> kept_;
  size_t limit_;
};

}  // namespace nrw
