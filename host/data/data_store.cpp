#include "data/data_store.h"

#include <fmt/format.h>

#include <algorithm>

#include "data/value_convert.h"
#include "nrw/core.h"
#include "nrw/format.h"

namespace nrw {

TnDataStore::TnDataStore(std::vector<Column> columns, size_t row_count, TextArena texts)
    : columns_(std::move(columns)), texts_(std::move(texts)), row_count_(row_count) {
  for (Column& column : columns_) {
    const size_t typed = column.type == TFieldType::Integer ? column.ints.size()
                         : column.type == TFieldType::Text  ? column.texts.size()
                                                            : column.reals.size();
    if (column.nulls.size() != row_count_ || typed != row_count_) {
      throw Exception(fmt::format("Coluna '{}' com {} valores; esperados {}.", column.name,
                                  column.nulls.size(), row_count_));
    }
    column.null_count = static_cast<size_t>(
        std::count_if(column.nulls.begin(), column.nulls.end(), [](uint8_t n) { return n != 0; }));
  }
}

int TnDataStore::FindField(std::string_view name) const {
  for (size_t i = 0; i < columns_.size(); ++i) {
    if (SameText(columns_[i].name, name)) return static_cast<int>(i);
  }
  return -1;
}

bool TnDataStore::SameFieldNames(const TnDataStore& other) const {
  if (columns_.size() != other.columns_.size()) return false;
  for (size_t i = 0; i < columns_.size(); ++i) {
    if (!SameText(columns_[i].name, other.columns_[i].name)) return false;
  }
  return true;
}

Variant TnDataStore::ValueAt(int field, size_t row) const {
  const Column& column = ColumnAt(field);
  if (column.IsNull(row)) return Variant();
  switch (column.type) {
    case TFieldType::Integer:
      return Variant(column.ints[row]);
    case TFieldType::Float:
      return Variant(column.reals[row]);
    case TFieldType::Date:
      return Variant(TDateTime(column.reals[row]));
    case TFieldType::Text:
      return Variant(std::string(column.texts[row]));
  }
  return Variant();
}

void TnDataStore::CheckNotFrozen() const {
  // A shared result changed in place would change every reader's rows: a fault of the host.
  if (frozen_) throw Exception("Erro interno: alteração de um resultado compartilhado.");
}

std::shared_ptr<std::vector<uint32_t>> TnDataStore::KeptOrder(
    const std::vector<int>& fields) const {
  for (const KeptRowOrder& kept : kept_orders_) {
    if (kept.fields == fields) return kept.rows;
  }
  return nullptr;
}

void TnDataStore::KeepOrder(const std::vector<int>& fields,
                            std::shared_ptr<std::vector<uint32_t>> order) const {
  constexpr size_t kKeptOrders = 4;
  if (!frozen_ || kept_orders_.size() >= kKeptOrders) return;
  kept_orders_.push_back({fields, std::move(order)});
}

std::shared_ptr<TnDataStore> TnDataStore::Copy() const {
  std::vector<Column> columns;
  columns.reserve(columns_.size());
  TextArena texts;
  for (const Column& column : columns_) {
    Column copy;
    copy.name = column.name;
    copy.type = column.type;
    copy.ints = column.ints;
    copy.reals = column.reals;
    copy.nulls = column.nulls;
    copy.texts.reserve(column.texts.size());
    for (const std::string_view text : column.texts) copy.texts.push_back(texts.Add(text));
    columns.push_back(std::move(copy));
  }
  auto store = std::make_shared<TnDataStore>(std::move(columns), row_count_, std::move(texts));
  store->version_ = version_;
  store->epoch_ = epoch_;
  return store;
}

size_t TnDataStore::Bytes() const {
  size_t bytes = sizeof(TnDataStore) + texts_.Bytes();
  for (const Column& column : columns_) {
    bytes += sizeof(Column) + column.name.size() + column.ints.size() * sizeof(int64_t) +
             column.reals.size() * sizeof(double) + column.texts.size() * sizeof(std::string_view) +
             column.nulls.size();
  }
  return bytes;
}

void TnDataStore::AppendRecord(const std::vector<Variant>& values) {
  CheckNotFrozen();
  if (values.size() != columns_.size()) {
    throw Exception(fmt::format("O registro tem {} valores; o dataset tem {} campos.",
                                values.size(), columns_.size()));
  }
  std::vector<Variant> converted;
  converted.reserve(values.size());
  for (size_t i = 0; i < values.size(); ++i) {
    converted.push_back(ConvertForField(values[i], columns_[i].type, columns_[i].name));
  }
  for (size_t i = 0; i < columns_.size(); ++i) PushValue(columns_[i], texts_, converted[i]);
  ++row_count_;
  ++version_;
}

void TnDataStore::Clear() {
  CheckNotFrozen();
  for (Column& column : columns_) {
    column.ints.clear();
    column.reals.clear();
    column.texts.clear();
    column.nulls.clear();
    column.null_count = 0;
  }
  texts_.Clear();
  row_count_ = 0;
  ++version_;
  ++epoch_;
}

void PushValue(TnDataStore::Column& column, TextArena& texts, const Variant& value) {
  const bool is_null = value.IsNull();
  column.nulls.push_back(is_null ? 1 : 0);
  column.null_count += is_null ? 1 : 0;
  switch (column.type) {
    case TFieldType::Integer:
      column.ints.push_back(is_null ? 0 : value.AsInteger());
      break;
    case TFieldType::Float:
      column.reals.push_back(is_null ? 0.0 : value.AsFloat());
      break;
    case TFieldType::Date:
      column.reals.push_back(is_null ? 0.0 : value.AsDate().value);
      break;
    case TFieldType::Text:
      column.texts.push_back(is_null ? std::string_view() : texts.Add(value.AsString()));
      break;
  }
}

}  // namespace nrw
