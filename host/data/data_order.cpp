#include "data/data_order.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "data/value_convert.h"
#include "nrw/format.h"

namespace nrw {

namespace {

template <class T>
int Three(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

int CompareCells(const TnDataStore::Column& column, uint32_t a, uint32_t b) {
  const bool a_null = column.nulls[a] != 0, b_null = column.nulls[b] != 0;
  if (a_null || b_null) return static_cast<int>(b_null) - static_cast<int>(a_null);
  switch (column.type) {
    case TFieldType::Integer:
      return Three(column.ints[a], column.ints[b]);
    case TFieldType::Float:
    case TFieldType::Date:
      return Three(column.reals[a], column.reals[b]);
    case TFieldType::Text:
      return column.texts[a].compare(column.texts[b]);
  }
  return 0;
}

int Sign(int value) { return (value > 0) - (value < 0); }

}  // namespace

std::optional<KeyValue> ToKeyValue(const Variant& value, TFieldType type) {
  KeyValue key;
  if (value.IsNull()) return key;
  if (type == TFieldType::Integer) {
    if (auto converted = TryConvertForField(value, type)) {
      if (converted->IsNull()) return key;
      key.kind = KeyValue::Kind::Integer;
      key.integer = converted->AsInteger();
      return key;
    }
    // A non-integral number cannot equal an Integer cell, but it still bounds a range.
    double real = 0.0;
    const bool numeric =
        value.kind() == Variant::Kind::Float
            ? (real = value.AsFloat(), true)
            : value.kind() == Variant::Kind::Text && TryStrToFloat(value.AsString(), real);
    if (!numeric || std::isnan(real)) return std::nullopt;
    key.kind = KeyValue::Kind::Real;
    key.real = real;
    return key;
  }
  auto converted = TryConvertForField(value, type);
  if (!converted) return std::nullopt;
  if (converted->IsNull()) return key;
  switch (type) {
    case TFieldType::Float:
      key.kind = KeyValue::Kind::Real;
      key.real = converted->AsFloat();
      break;
    case TFieldType::Date:
      key.kind = KeyValue::Kind::Real;
      key.real = converted->AsDate().value;
      break;
    case TFieldType::Text:
      key.kind = KeyValue::Kind::Text;
      key.text = converted->AsString();
      break;
    case TFieldType::Integer:
      break;
  }
  return key;
}

int CompareCell(const TnDataStore::Column& column, size_t row, const KeyValue& key) {
  const bool cell_null = column.nulls[row] != 0;
  const bool key_null = key.kind == KeyValue::Kind::Null;
  if (cell_null || key_null) return static_cast<int>(key_null) - static_cast<int>(cell_null);
  switch (column.type) {
    case TFieldType::Integer:
      if (key.kind == KeyValue::Kind::Integer) return Three(column.ints[row], key.integer);
      return Three(static_cast<double>(column.ints[row]), key.real);
    case TFieldType::Float:
    case TFieldType::Date:
      if (key.kind == KeyValue::Kind::Integer) {
        return Three(column.reals[row], static_cast<double>(key.integer));
      }
      return Three(column.reals[row], key.real);
    case TFieldType::Text:
      return Sign(column.texts[row].compare(key.text));
  }
  return 0;
}

RowOrder::RowOrder(const TnDataStore& store, std::vector<int> fields)
    : store_(&store), fields_(std::move(fields)) {}

int RowOrder::CompareRows(uint32_t a, uint32_t b) const {
  for (const int field : fields_) {
    const int c = CompareCells(store_->ColumnAt(field), a, b);
    if (c != 0) return c;
  }
  return 0;
}

int RowOrder::CompareKey(uint32_t row, const std::vector<KeyValue>& key) const {
  for (size_t i = 0; i < key.size() && i < fields_.size(); ++i) {
    const int c = CompareCell(store_->ColumnAt(fields_[i]), row, key[i]);
    if (c != 0) return c;
  }
  return 0;
}

std::vector<uint32_t> RowOrder::Sorted() const {
  std::vector<uint32_t> order(store_->RowCount());
  std::iota(order.begin(), order.end(), 0u);
  if (fields_.empty()) return order;
  // Results of an ORDER BY usually arrive in index order already: one pass proves it.
  for (size_t i = 1; i < order.size(); ++i) {
    if (CompareRows(order[i - 1], order[i]) > 0) {
      std::stable_sort(order.begin(), order.end(),
                       [this](uint32_t a, uint32_t b) { return CompareRows(a, b) < 0; });
      break;
    }
  }
  return order;
}

void RowOrder::Extend(std::vector<uint32_t>& order) const {
  const size_t old_size = order.size();
  for (size_t row = old_size; row < store_->RowCount(); ++row) {
    order.push_back(static_cast<uint32_t>(row));
  }
  if (fields_.empty() || old_size == order.size()) return;
  const auto middle = order.begin() + static_cast<std::ptrdiff_t>(old_size);
  const auto less = [this](uint32_t a, uint32_t b) { return CompareRows(a, b) < 0; };
  std::stable_sort(middle, order.end(), less);
  // New rows have higher ids, so a stable merge keeps ties in row-id order.
  if (old_size > 0 && less(*middle, *(middle - 1))) {
    std::inplace_merge(order.begin(), middle, order.end(), less);
  }
}

size_t RowOrder::LowerBound(std::span<const uint32_t> view,
                            const std::vector<KeyValue>& key) const {
  const auto it = std::partition_point(view.begin(), view.end(),
                                       [&](uint32_t row) { return CompareKey(row, key) < 0; });
  return static_cast<size_t>(it - view.begin());
}

size_t RowOrder::UpperBound(std::span<const uint32_t> view,
                            const std::vector<KeyValue>& key) const {
  const auto it = std::partition_point(view.begin(), view.end(),
                                       [&](uint32_t row) { return CompareKey(row, key) <= 0; });
  return static_cast<size_t>(it - view.begin());
}

std::optional<size_t> RowOrder::Locate(std::span<const uint32_t> view, uint32_t row) const {
  const auto it = std::partition_point(view.begin(), view.end(),
                                       [&](uint32_t other) { return Before(other, row); });
  if (it == view.end() || *it != row) return std::nullopt;
  return static_cast<size_t>(it - view.begin());
}

}  // namespace nrw
