// TnDataStore: the rows of one result set, column by column in typed vectors, shared by every
// cursor (dataset or clone) that reads it. Texts are views into the store's own arena. Each change
// bumps Version(), so cursors rebuild their order lazily; Epoch() changes only when rows disappear,
// so pure appends can be merged in. A frozen store is shared by readers that do not know of each
// other (results served again within one snapshot): it never changes, and a dataset that is about
// to change it or to share it with a clone takes a copy of its own first (DataCursor::Unshare).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/text_arena.h"
#include "nrw/dataset.h"
#include "nrw/variant.h"

namespace nrw {

class TnDataStore {
 public:
  //! One typed column: ints for Integer, reals for Float and Date (TDateTime values), texts for
  //! Text (views into the store's arena); nulls[row] != 0 marks a null (the typed slot then holds a
  //! zero value).
  struct Column {
    std::string name;
    TFieldType type = TFieldType::Text;
    std::vector<int64_t> ints;
    std::vector<double> reals;
    std::vector<std::string_view> texts;
    std::vector<uint8_t> nulls;
    //! Lets comparisons skip the null flags of columns without nulls (most key columns).
    size_t null_count = 0;

    bool IsNull(size_t row) const { return null_count != 0 && nulls[row] != 0; }
  };

  TnDataStore() = default;
  //! Every column must hold row_count values of its type (raises otherwise); null counts are
  //! recomputed. The column texts are views into texts, which the store keeps.
  TnDataStore(std::vector<Column> columns, size_t row_count, TextArena texts = {});
  TnDataStore(const TnDataStore&) = delete;
  TnDataStore& operator=(const TnDataStore&) = delete;

  int FieldCount() const { return static_cast<int>(columns_.size()); }
  size_t RowCount() const { return row_count_; }
  const Column& ColumnAt(int field) const { return columns_[static_cast<size_t>(field)]; }
  const std::string& FieldName(int field) const { return ColumnAt(field).name; }
  TFieldType FieldType(int field) const { return ColumnAt(field).type; }
  //! ASCII case-insensitive; -1 when missing.
  int FindField(std::string_view name) const;
  //! True when both stores have the same column names in the same order (letter case ignored).
  bool SameFieldNames(const TnDataStore& other) const;

  bool IsNull(int field, size_t row) const { return ColumnAt(field).IsNull(row); }
  Variant ValueAt(int field, size_t row) const;

  //! One value per field, converted to the field types; nothing is added when one fails.
  void AppendRecord(const std::vector<Variant>& values);
  //! Deletes every row; the columns stay.
  void Clear();

  uint64_t Version() const { return version_; }
  uint64_t Epoch() const { return epoch_; }

  bool Frozen() const { return frozen_; }
  //! From now on nothing may change the store (AppendRecord and Clear raise).
  void Freeze() { frozen_ = true; }
  //! The same columns and rows in a store of its own, not frozen, at the same version.
  std::shared_ptr<TnDataStore> Copy() const;
  //! Memory the rows take, roughly (columns and texts).
  size_t Bytes() const;

  //! The rows of a frozen store in the order of the fields, kept with the rows once computed:
  //! every dataset served the same rows again is ordered by the same index, and sorting (or even
  //! checking) them each time would cost the whole result per reader. nullptr when not kept.
  //! Shared with the readers, who copy it before they change it.
  std::shared_ptr<std::vector<uint32_t>> KeptOrder(const std::vector<int>& fields) const;
  //! Keeps the order (frozen stores only; a few per store).
  void KeepOrder(const std::vector<int>& fields,
                 std::shared_ptr<std::vector<uint32_t>> order) const;

 private:
  void CheckNotFrozen() const;

  std::vector<Column> columns_;
  TextArena texts_;
  size_t row_count_ = 0;
  uint64_t version_ = 0;
  uint64_t epoch_ = 0;
  bool frozen_ = false;
  struct KeptRowOrder {
    std::vector<int> fields;
    std::shared_ptr<std::vector<uint32_t>> rows;
  };
  //! Orders of a frozen store, which never changes; a reader's question, not the store's state.
  mutable std::vector<KeptRowOrder> kept_orders_;
};

//! Appends a value already converted to the column type (or null); a text is copied into texts.
void PushValue(TnDataStore::Column& column, TextArena& texts, const Variant& value);

}  // namespace nrw
