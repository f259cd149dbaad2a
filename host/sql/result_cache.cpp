#include "sql/result_cache.h"

#include <cstring>

namespace nrw {
namespace {

void AppendValue(std::string& key, const Variant& value) {
  key += static_cast<char>('0' + static_cast<int>(value.kind()));
  switch (value.kind()) {
    case Variant::Kind::Null:
      break;
    case Variant::Kind::Integer: {
      const int64_t number = value.AsInteger();
      key.append(reinterpret_cast<const char*>(&number), sizeof number);
      break;
    }
    case Variant::Kind::Float:
    case Variant::Kind::Date: {
      const double number =
          value.kind() == Variant::Kind::Date ? value.AsDate().value : value.AsFloat();
      key.append(reinterpret_cast<const char*>(&number), sizeof number);
      break;
    }
    case Variant::Kind::Text: {
      const std::string text = value.AsString();
      const uint64_t size = text.size();
      key.append(reinterpret_cast<const char*>(&size), sizeof size);
      key += text;
      break;
    }
    case Variant::Kind::Array:
      // Refused when bound; never kept, since the run fails.
      key += value.AsString();
      break;
  }
}

}  // namespace

std::string ResultCache::Key(const std::string& sql, const std::vector<Variant>& values,
                             SqlConversion conversion) {
  std::string key;
  key.reserve(sql.size() + 16 * values.size() + 2);
  key += conversion == SqlConversion::kOn ? '1' : '0';
  const uint64_t count = values.size();
  key.append(reinterpret_cast<const char*>(&count), sizeof count);
  for (const Variant& value : values) AppendValue(key, value);
  key += sql;
  return key;
}

std::shared_ptr<TnDataStore> ResultCache::Find(const std::string& key) {
  const auto found = entries_.find(key);
  if (found == entries_.end()) return nullptr;
  order_.splice(order_.begin(), order_, found->second);
  return found->second->store;
}

void ResultCache::Keep(const std::string& key, const std::shared_ptr<TnDataStore>& store) {
  const size_t bytes = store->Bytes() + key.size();
  if (bytes > kLargestBytes) return;
  // Most statements run once (a part's own): they stop here, after one look at the text.
  if (ran_.size() >= kRemembered) ran_.clear();
  if (ran_.insert(std::hash<std::string>{}(key)).second || entries_.count(key) != 0) return;
  while (!order_.empty() && bytes_ + bytes > kBudgetBytes) {
    bytes_ -= order_.back().bytes;
    entries_.erase(order_.back().key);
    order_.pop_back();
  }
  store->Freeze();
  order_.push_front({key, store, bytes});
  entries_.emplace(key, order_.begin());
  bytes_ += bytes;
}

std::shared_ptr<const void> ResultCache::FindDerived(const std::string& key) const {
  const auto found = derived_.find(key);
  return found != derived_.end() ? found->second : nullptr;
}

void ResultCache::KeepDerived(const std::string& key, std::shared_ptr<const void> derived) {
  if (derived_.size() >= kDerived) derived_.clear();
  derived_[key] = std::move(derived);
}

}  // namespace nrw
