// DataCursor: one reader's view of a shared store: index order, key range, filter and current
// position. The view is the index order (a sorted permutation of row ids), filtered when a filter
// is on, cut to the range; positions are 0-based in it. The cursor shares the store and notices
// changes by its version, rebuilding its order at the next access.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/live_count.h"
#include "data/data_order.h"
#include "data/data_store.h"
#include "data/filter_expr.h"
#include "nrw/variant.h"

namespace nrw {

class DataCursor {
 public:
  explicit DataCursor(std::shared_ptr<TnDataStore> store);
  ~DataCursor();
  DataCursor(const DataCursor&) = delete;
  DataCursor& operator=(const DataCursor&) = delete;

  const std::shared_ptr<TnDataStore>& Store() const { return store_; }
  //! Moves to another store: index names that still exist are kept, the range is dropped, the
  //! filter is compiled again (when that fails it is switched off and the error raised).
  void Attach(std::shared_ptr<TnDataStore> store);
  //! Reads other's store; with keep_settings also its index, range and filter.
  void CloneFrom(const DataCursor& other, bool keep_settings);
  //! A frozen store is replaced by a copy of its own (same rows, so index, range, filter and
  //! position stay as they are): before the cursor changes the rows or shares them with a clone.
  void Unshare();

  std::string IndexFieldNames() const;
  //! Raises "Campo 'X' não encontrado." for an unknown name. A new index drops the range.
  void SetIndexFieldNames(const std::string& names);

  void First();
  void Last();
  void Next();
  void Prior();
  bool Eof();
  bool Bof();
  size_t Count();
  //! Position in the view; Count() when past the end.
  size_t Position();
  void SetPosition(size_t position);
  std::optional<uint32_t> CurrentRow();
  //! After this cursor appended the row: it becomes the current record when visible.
  void FollowRow(uint32_t row) { follow_row_ = row; }

  bool FindKey(const std::vector<Variant>& key);
  void SetRange(const std::vector<Variant>& start, const std::vector<Variant>& end);
  void CancelRange();
  bool HasRange() const { return range_.has_value(); }

  const std::string& Filter() const { return filter_text_; }
  void SetFilter(const std::string& text);
  bool Filtered() const { return filtered_; }
  void SetFiltered(bool on);

 private:
  struct Range {
    std::vector<KeyValue> start;
    std::vector<KeyValue> end;
    //! A bound that cannot be converted to its field's type matches nothing.
    bool matches_nothing = false;
    LiveToken<LiveKind::Range> live;
  };

  void Sync();
  void ResolveIndex(const std::vector<std::string>& names);
  std::vector<KeyValue> KeyFor(const std::vector<Variant>& values, bool& converted) const;
  void CheckKeySize(size_t size) const;
  void CompileFilter();
  void RebuildFiltered();
  void ComputeBounds();
  std::span<const uint32_t> Base() const;
  std::span<const uint32_t> View() const;
  //! Puts the cursor on the row when the view holds it, otherwise on the first record.
  void MoveTo(std::optional<uint32_t> row);
  void MarkSynced();

  std::shared_ptr<TnDataStore> store_;
  uint64_t seen_version_ = 0;
  uint64_t seen_epoch_ = 0;

  std::vector<std::string> index_names_;
  RowOrder order_cmp_;
  //! Shared with the store's kept order or with a clone: copied before it changes.
  std::shared_ptr<std::vector<uint32_t>> order_;

  std::string filter_text_;
  bool filtered_ = false;
  std::unique_ptr<FilterExpr> filter_;
  std::vector<uint32_t> filtered_rows_;

  std::optional<Range> range_;
  size_t lo_ = 0;
  size_t hi_ = 0;

  size_t pos_ = 0;
  bool bof_ = true;
  std::optional<uint32_t> follow_row_;
};

}  // namespace nrw
