#include "data/data_order.h"

#include <algorithm>
#include <cmath>
#include <cstring>
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
  if (column.null_count != 0) {
    const bool a_null = column.nulls[a] != 0, b_null = column.nulls[b] != 0;
    if (a_null || b_null) return static_cast<int>(b_null) - static_cast<int>(a_null);
  }
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

// A field as an unsigned number whose order agrees with the field's order; texts give 8 of their
// bytes from offset, so equal codes may still hide different texts.
uint64_t FieldCode(const TnDataStore::Column& column, uint32_t row, size_t offset) {
  constexpr uint64_t kSign = uint64_t{1} << 63;
  switch (column.type) {
    case TFieldType::Integer:
      return static_cast<uint64_t>(column.ints[row]) ^ kSign;
    case TFieldType::Float:
    case TFieldType::Date: {
      const double value = column.reals[row] == 0.0 ? 0.0 : column.reals[row];  // -0 is 0
      uint64_t bits = 0;
      std::memcpy(&bits, &value, sizeof bits);
      return (bits & kSign) != 0 ? ~bits : bits | kSign;
    }
    case TFieldType::Text: {
      const std::string_view text = column.texts[row];
      uint64_t bits = 0;
      for (size_t i = offset; i < offset + 8; ++i) {
        bits = (bits << 8) | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0u);
      }
      return bits;
    }
  }
  return 0;
}

//! Codes of the leading index fields of one row; (present, code) pairs compare like the fields.
struct LeadKey {
  uint64_t code[2];
  uint32_t row;
  uint8_t present[2];

  bool SameCodes(const LeadKey& other) const {
    return code[0] == other.code[0] && code[1] == other.code[1] && present[0] == other.present[0] &&
           present[1] == other.present[1];
  }
  bool operator<(const LeadKey& other) const {
    for (int i = 0; i < 2; ++i) {
      if (present[i] != other.present[i]) return present[i] < other.present[i];
      if (code[i] != other.code[i]) return code[i] < other.code[i];
    }
    return row < other.row;
  }
};

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
  const bool cell_null = column.IsNull(row);
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

std::shared_ptr<std::vector<uint32_t>> RowOrder::Sorted() const {
  if (store_->Frozen()) {
    if (std::shared_ptr<std::vector<uint32_t>> kept = store_->KeptOrder(fields_)) return kept;
  }
  auto order = std::make_shared<std::vector<uint32_t>>(SortedNow());
  if (store_->Frozen()) store_->KeepOrder(fields_, order);
  return order;
}

std::vector<uint32_t> RowOrder::SortedNow() const {
  std::vector<uint32_t> order(store_->RowCount());
  std::iota(order.begin(), order.end(), 0u);
  if (fields_.empty()) return order;
  // Results of an ORDER BY usually arrive in index order already: one pass proves it.
  for (size_t i = 1; i < order.size(); ++i) {
    if (CompareRows(order[i - 1], order[i]) > 0) {
      SortRows(order);
      break;
    }
  }
  return order;
}

void RowOrder::SortRows(std::vector<uint32_t>& order) const {
  // Comparing rows reads scattered column cells; sorting compact codes of the leading fields
  // first keeps most comparisons in cache, and only runs of equal codes need the full comparison.
  // The second code continues a text lead (its next 8 bytes) or else codes the second field: a
  // numeric code is exact, so ordering by the next field is right only after it.
  const TnDataStore::Column& lead = store_->ColumnAt(fields_.front());
  const TnDataStore::Column* second =
      lead.type == TFieldType::Text
          ? &lead
          : (fields_.size() > 1 ? &store_->ColumnAt(fields_[1]) : nullptr);
  const size_t second_offset = lead.type == TFieldType::Text ? 8 : 0;
  std::vector<LeadKey> keys(order.size());
  for (size_t i = 0; i < order.size(); ++i) {
    const uint32_t row = order[i];
    LeadKey& key = keys[i];
    key.row = row;
    key.present[0] = lead.IsNull(row) ? 0 : 1;
    key.code[0] = key.present[0] != 0 ? FieldCode(lead, row, 0) : 0;
    key.present[1] = second != nullptr && !second->IsNull(row) ? 1 : 0;
    key.code[1] = key.present[1] != 0 ? FieldCode(*second, row, second_offset) : 0;
  }
  std::sort(keys.begin(), keys.end());
  for (size_t i = 0; i < keys.size(); ++i) order[i] = keys[i].row;
  const auto before = [this](uint32_t a, uint32_t b) { return Before(a, b); };
  for (size_t start = 0; start < keys.size();) {
    size_t end = start + 1;
    while (end < keys.size() && keys[end].SameCodes(keys[start])) ++end;
    if (end - start > 1) {
      std::sort(order.begin() + static_cast<std::ptrdiff_t>(start),
                order.begin() + static_cast<std::ptrdiff_t>(end), before);
    }
    start = end;
  }
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
