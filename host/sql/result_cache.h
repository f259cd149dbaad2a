// Host-internal: the rows of statements already answered within one read snapshot, served again to
// a statement sent with the same text, values and SQL conversion. Nothing a run sends changes the
// database and the snapshot keeps others' changes out, so those rows are what the database would
// answer again. Stores are frozen when kept (datasets take a copy before they change one). Only a
// statement run before is kept (a part's own statements, which name its value, run once and would
// only crowd the others out). Memory is bounded: at most kBudgetBytes of rows are kept, the least
// recently used going first, a result larger than kLargestBytes is never kept, and the record of
// what ran is forgotten past kRemembered statements.
#pragma once

#include <cstddef>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "data/data_store.h"
#include "nrw/variant.h"
#include "sql/sql_rewriter.h"

namespace nrw {

class ResultCache {
 public:
  static constexpr size_t kBudgetBytes = 64 << 20;
  static constexpr size_t kLargestBytes = 16 << 20;
  static constexpr size_t kRemembered = 1 << 16;

  //! The key of a statement run: the conversion switch, the text and each value with its kind.
  static std::string Key(const std::string& sql, const std::vector<Variant>& values,
                         SqlConversion conversion);

  //! The rows kept for the key, or nullptr.
  std::shared_ptr<TnDataStore> Find(const std::string& key);
  //! Keeps the rows (freezing them) when the key ran before, unless they are larger than
  //! kLargestBytes; makes room by dropping the least recently used.
  void Keep(const std::string& key, const std::shared_ptr<TnDataStore>& store);

  //! What the host built from a statement's rows (the controller's contracts), kept under the
  //! statement's key and what was built; nullptr when there is none.
  std::shared_ptr<const void> FindDerived(const std::string& key) const;
  //! Keeps it; at most kDerived are kept (all are forgotten when more come).
  void KeepDerived(const std::string& key, std::shared_ptr<const void> derived);
  static constexpr size_t kDerived = 16;

  size_t Bytes() const { return bytes_; }
  size_t Entries() const { return entries_.size(); }

 private:
  struct Entry {
    std::string key;
    std::shared_ptr<TnDataStore> store;
    size_t bytes = 0;
  };
  //! Most recently used first.
  std::list<Entry> order_;
  std::unordered_map<std::string, std::list<Entry>::iterator> entries_;
  size_t bytes_ = 0;
  std::unordered_map<std::string, std::shared_ptr<const void>> derived_;
  //! Hashes of the keys that ran without being kept.
  std::unordered_set<size_t> ran_;
};

}  // namespace nrw
