// Index order of a store: the comparison of rows on the index fields (nulls first, numbers and
// dates by value, texts byte-wise) and of rows against typed search keys. Ties are broken by row
// id, so every order is total and a row can be found again by binary search.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "data/data_store.h"
#include "nrw/variant.h"

namespace nrw {

//! A search value already in the terms of one column. Integer columns may get a Real key
//! (a non-integral bound); it then compares numerically.
struct KeyValue {
  enum class Kind { Null, Integer, Real, Text };
  Kind kind = Kind::Null;
  int64_t integer = 0;
  double real = 0.0;
  std::string text;
};

//! The value as a key for a column of the given type; empty when it cannot be converted.
std::optional<KeyValue> ToKeyValue(const Variant& value, TFieldType type);

//! <0, 0, >0 as the cell at row compares with the key; a null cell sorts before everything else.
int CompareCell(const TnDataStore::Column& column, size_t row, const KeyValue& key);

//! Compares rows of one store on a list of fields. Borrows the store.
class RowOrder {
 public:
  RowOrder(const TnDataStore& store, std::vector<int> fields);

  const std::vector<int>& Fields() const { return fields_; }
  int CompareRows(uint32_t a, uint32_t b) const;
  //! The total order of views: index fields, then row id.
  bool Before(uint32_t a, uint32_t b) const {
    const int c = CompareRows(a, b);
    return c < 0 || (c == 0 && a < b);
  }
  //! Compares the row with a key on the first key.size() fields.
  int CompareKey(uint32_t row, const std::vector<KeyValue>& key) const;

  //! Every row of the store in index order; skips the sort when the rows are already ordered, and
  //! the work altogether when a frozen store kept the order (then shared with the store: a reader
  //! copies it before changing it, so that a part's reader of a year's rows costs nothing per row).
  std::shared_ptr<std::vector<uint32_t>> Sorted() const;
  //! order holds the first order.size() rows in index order; merges in the rows added since.
  void Extend(std::vector<uint32_t>& order) const;

  //! First position in view whose row is not below the key (prefix).
  size_t LowerBound(std::span<const uint32_t> view, const std::vector<KeyValue>& key) const;
  //! First position in view whose row is above the key (prefix).
  size_t UpperBound(std::span<const uint32_t> view, const std::vector<KeyValue>& key) const;
  //! Position of the row in view, or empty when the view does not hold it.
  std::optional<size_t> Locate(std::span<const uint32_t> view, uint32_t row) const;

 private:
  std::vector<uint32_t> SortedNow() const;
  //! Sorts the rows into the total order of Before.
  void SortRows(std::vector<uint32_t>& order) const;

  const TnDataStore* store_;
  std::vector<int> fields_;
};

}  // namespace nrw
