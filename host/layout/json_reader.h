// Checked reading of one JSON object of a layout: typed fields with defaults, a context path for
// messages ("sections[2].items[0]") and rejection of keys nobody asked for, so that a misspelt key
// is reported instead of silently ignored.
#pragma once

#include <functional>
#include <nlohmann/json.hpp>
#include <set>
#include <string>

namespace nrw {

class JsonObjectReader {
 public:
  using Fail = std::function<void(const std::string& where, const std::string& what)>;

  //! fail must raise; it receives the context path and the message.
  JsonObjectReader(const nlohmann::json& object, std::string where, Fail fail);

  const std::string& Where() const { return where_; }
  bool Has(const std::string& key) const;
  std::string String(const std::string& key, const std::string& fallback = "");
  std::string RequiredString(const std::string& key);
  double Number(const std::string& key, double fallback);
  double RequiredNumber(const std::string& key);
  int RequiredInteger(const std::string& key);
  int Integer(const std::string& key, int fallback);
  bool Boolean(const std::string& key, bool fallback);
  //! The array under the key; an empty array when missing.
  const nlohmann::json& Array(const std::string& key);
  //! The object under the key; an empty object when missing.
  const nlohmann::json& Object(const std::string& key);
  //! The value under the key, of any type, marked as read; nullptr when missing.
  const nlohmann::json* Value(const std::string& key) { return Find(key); }
  //! Raises for keys that were not read.
  void RejectUnknownKeys() const;
  [[noreturn]] void Raise(const std::string& what) const;

 private:
  const nlohmann::json* Find(const std::string& key);
  const nlohmann::json& object_;
  std::string where_;
  Fail fail_;
  std::set<std::string> read_;
};

}  // namespace nrw
