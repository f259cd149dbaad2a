#include "layout/json_reader.h"

#include <cmath>
#include <utility>

namespace nrw {
namespace {

const nlohmann::json& EmptyArray() {
  static const nlohmann::json empty = nlohmann::json::array();
  return empty;
}

const nlohmann::json& EmptyObject() {
  static const nlohmann::json empty = nlohmann::json::object();
  return empty;
}

}  // namespace

JsonObjectReader::JsonObjectReader(const nlohmann::json& object, std::string where, Fail fail)
    : object_(object), where_(std::move(where)), fail_(std::move(fail)) {
  if (!object_.is_object()) Raise("deve ser um objeto JSON");
}

void JsonObjectReader::Raise(const std::string& what) const {
  fail_(where_, what);
  throw std::logic_error("JsonObjectReader: fail did not raise");
}

bool JsonObjectReader::Has(const std::string& key) const { return object_.contains(key); }

const nlohmann::json* JsonObjectReader::Find(const std::string& key) {
  read_.insert(key);
  const auto found = object_.find(key);
  return found == object_.end() || found->is_null() ? nullptr : &*found;
}

std::string JsonObjectReader::String(const std::string& key, const std::string& fallback) {
  const nlohmann::json* value = Find(key);
  if (value == nullptr) return fallback;
  if (!value->is_string()) Raise("'" + key + "' deve ser um texto");
  return value->get<std::string>();
}

std::string JsonObjectReader::RequiredString(const std::string& key) {
  if (Find(key) == nullptr) Raise("'" + key + "' é obrigatório");
  std::string text = String(key);
  if (text.empty()) Raise("'" + key + "' não pode ser vazio");
  return text;
}

double JsonObjectReader::Number(const std::string& key, double fallback) {
  const nlohmann::json* value = Find(key);
  if (value == nullptr) return fallback;
  if (!value->is_number()) Raise("'" + key + "' deve ser um número");
  return value->get<double>();
}

double JsonObjectReader::RequiredNumber(const std::string& key) {
  if (Find(key) == nullptr) Raise("'" + key + "' é obrigatório");
  return Number(key, 0);
}

int JsonObjectReader::Integer(const std::string& key, int fallback) {
  const nlohmann::json* value = Find(key);
  if (value == nullptr) return fallback;
  const bool whole =
      value->is_number_integer() ||
      (value->is_number_float() && std::floor(value->get<double>()) == value->get<double>());
  if (!whole) Raise("'" + key + "' deve ser um número inteiro");
  return static_cast<int>(value->get<double>());
}

int JsonObjectReader::RequiredInteger(const std::string& key) {
  if (Find(key) == nullptr) Raise("'" + key + "' é obrigatório");
  return Integer(key, 0);
}

bool JsonObjectReader::Boolean(const std::string& key, bool fallback) {
  const nlohmann::json* value = Find(key);
  if (value == nullptr) return fallback;
  if (!value->is_boolean()) Raise("'" + key + "' deve ser true ou false");
  return value->get<bool>();
}

const nlohmann::json& JsonObjectReader::Array(const std::string& key) {
  const nlohmann::json* value = Find(key);
  if (value == nullptr) return EmptyArray();
  if (!value->is_array()) Raise("'" + key + "' deve ser uma lista");
  return *value;
}

const nlohmann::json& JsonObjectReader::Object(const std::string& key) {
  const nlohmann::json* value = Find(key);
  if (value == nullptr) return EmptyObject();
  if (!value->is_object()) Raise("'" + key + "' deve ser um objeto");
  return *value;
}

void JsonObjectReader::RejectUnknownKeys() const {
  for (const auto& [key, value] : object_.items()) {
    if (read_.count(key) == 0) Raise("chave desconhecida '" + key + "'");
  }
}

}  // namespace nrw
