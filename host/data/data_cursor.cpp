#include "data/data_cursor.h"

#include <fmt/format.h>

#include <exception>

#include "nrw/core.h"
#include "nrw/format.h"

namespace nrw {

namespace {

std::shared_ptr<TnDataStore> OrEmpty(std::shared_ptr<TnDataStore> store) {
  return store ? std::move(store) : std::make_shared<TnDataStore>();
}

std::vector<std::string> SplitIndexNames(const std::string& names) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= names.size()) {
    size_t end = names.find(';', start);
    if (end == std::string::npos) end = names.size();
    std::string part = Trim(std::string_view(names).substr(start, end - start));
    if (!part.empty()) parts.push_back(std::move(part));
    start = end + 1;
  }
  return parts;
}

}  // namespace

DataCursor::DataCursor(std::shared_ptr<TnDataStore> store)
    : store_(OrEmpty(std::move(store))), order_cmp_(*store_, {}) {
  order_ = order_cmp_.Sorted();
  ComputeBounds();
  MarkSynced();
}

DataCursor::~DataCursor() = default;

void DataCursor::Attach(std::shared_ptr<TnDataStore> store) {
  store_ = OrEmpty(std::move(store));
  std::vector<std::string> kept_names;
  std::vector<int> fields;
  for (const std::string& name : index_names_) {
    const int field = store_->FindField(name);
    if (field < 0) continue;
    kept_names.push_back(name);
    fields.push_back(field);
  }
  index_names_ = std::move(kept_names);
  order_cmp_ = RowOrder(*store_, std::move(fields));
  range_.reset();
  follow_row_.reset();
  // The old filter was compiled against the old columns; it must be redone, and a failure must
  // not leave a filter bound to columns that no longer exist.
  std::exception_ptr filter_error;
  filter_.reset();
  if (filtered_) {
    try {
      CompileFilter();
    } catch (...) {
      filtered_ = false;
      filter_error = std::current_exception();
    }
  }
  order_ = order_cmp_.Sorted();
  RebuildFiltered();
  ComputeBounds();
  pos_ = 0;
  bof_ = true;
  MarkSynced();
  if (filter_error) std::rethrow_exception(filter_error);
}

void DataCursor::CloneFrom(const DataCursor& other, bool keep_settings) {
  store_ = other.store_;
  follow_row_.reset();
  filter_.reset();
  if (keep_settings) {
    index_names_ = other.index_names_;
    order_cmp_ = RowOrder(*store_, other.order_cmp_.Fields());
    filter_text_ = other.filter_text_;
    filtered_ = other.filtered_;
    range_ = other.range_;
    if (filtered_) CompileFilter();
    const bool other_current =
        other.seen_version_ == store_->Version() && other.seen_epoch_ == store_->Epoch();
    order_ = other_current ? other.order_ : order_cmp_.Sorted();
  } else {
    index_names_.clear();
    order_cmp_ = RowOrder(*store_, {});
    filter_text_.clear();
    filtered_ = false;
    range_.reset();
    order_ = order_cmp_.Sorted();
  }
  RebuildFiltered();
  ComputeBounds();
  pos_ = 0;
  bof_ = true;
  MarkSynced();
}

void DataCursor::Unshare() {
  if (!store_->Frozen()) return;
  store_ = store_->Copy();
  order_cmp_ = RowOrder(*store_, order_cmp_.Fields());
  MarkSynced();
}

std::string DataCursor::IndexFieldNames() const {
  std::string joined;
  for (const std::string& name : index_names_) {
    if (!joined.empty()) joined += ';';
    joined += name;
  }
  return joined;
}

void DataCursor::SetIndexFieldNames(const std::string& names) {
  Sync();
  std::vector<std::string> parts = SplitIndexNames(names);
  std::vector<int> fields;
  for (const std::string& part : parts) {
    const int field = store_->FindField(part);
    if (field < 0) throw Exception(fmt::format("Campo '{}' não encontrado.", part));
    fields.push_back(field);
  }
  index_names_ = std::move(parts);
  if (fields == order_cmp_.Fields()) return;
  const std::optional<uint32_t> current = CurrentRow();
  order_cmp_ = RowOrder(*store_, std::move(fields));
  range_.reset();
  order_ = order_cmp_.Sorted();
  RebuildFiltered();
  ComputeBounds();
  MoveTo(current);
}

void DataCursor::First() {
  Sync();
  pos_ = 0;
  bof_ = true;
}

void DataCursor::Last() {
  Sync();
  const size_t count = View().size();
  pos_ = count == 0 ? 0 : count - 1;
  bof_ = count == 0;
}

void DataCursor::Next() {
  Sync();
  if (pos_ < View().size()) ++pos_;
  bof_ = false;
}

void DataCursor::Prior() {
  Sync();
  if (pos_ == 0) {
    bof_ = true;
    return;
  }
  pos_ = std::min(pos_, View().size()) - 1;
  bof_ = false;
}

bool DataCursor::Eof() {
  Sync();
  return pos_ >= View().size();
}

bool DataCursor::Bof() {
  Sync();
  return bof_ || View().empty();
}

size_t DataCursor::Count() {
  Sync();
  return View().size();
}

size_t DataCursor::Position() {
  Sync();
  return std::min(pos_, View().size());
}

void DataCursor::SetPosition(size_t position) {
  Sync();
  if (position >= View().size()) {
    throw Exception(fmt::format("Registro {} inexistente: o dataset tem {} registros.",
                                position + 1, View().size()));
  }
  pos_ = position;
  bof_ = false;
}

std::optional<uint32_t> DataCursor::CurrentRow() {
  Sync();
  const auto view = View();
  if (pos_ >= view.size()) return std::nullopt;
  return view[pos_];
}

bool DataCursor::FindKey(const std::vector<Variant>& key) {
  Sync();
  CheckKeySize(key.size());
  bool converted = true;
  const std::vector<KeyValue> typed = KeyFor(key, converted);
  if (!converted) return false;
  const auto view = View();
  const size_t found = order_cmp_.LowerBound(view, typed);
  if (found >= view.size() || order_cmp_.CompareKey(view[found], typed) != 0) return false;
  pos_ = found;
  bof_ = false;
  return true;
}

void DataCursor::SetRange(const std::vector<Variant>& start, const std::vector<Variant>& end) {
  Sync();
  CheckKeySize(start.size());
  CheckKeySize(end.size());
  Range range;
  bool start_converted = true, end_converted = true;
  range.start = KeyFor(start, start_converted);
  range.end = KeyFor(end, end_converted);
  range.matches_nothing = !start_converted || !end_converted;
  range_ = std::move(range);
  ComputeBounds();
  pos_ = 0;
  bof_ = true;
}

void DataCursor::CancelRange() {
  Sync();
  if (!range_) return;
  const std::optional<uint32_t> current = CurrentRow();
  range_.reset();
  ComputeBounds();
  MoveTo(current);
}

void DataCursor::SetFilter(const std::string& text) {
  Sync();
  if (!filtered_) {
    filter_text_ = text;
    filter_.reset();
    return;
  }
  const std::string previous = std::move(filter_text_);
  filter_text_ = text;
  try {
    CompileFilter();
  } catch (...) {
    filter_text_ = previous;
    throw;
  }
  RebuildFiltered();
  ComputeBounds();
  pos_ = 0;
  bof_ = true;
}

void DataCursor::SetFiltered(bool on) {
  Sync();
  if (on == filtered_) return;
  if (on) {
    CompileFilter();
  } else {
    filter_.reset();
  }
  filtered_ = on;
  RebuildFiltered();
  ComputeBounds();
  pos_ = 0;
  bof_ = true;
}

void DataCursor::Sync() {
  if (store_->Version() == seen_version_ && store_->Epoch() == seen_epoch_) return;
  const bool rows_kept = store_->Epoch() == seen_epoch_ && store_->RowCount() >= order_->size();
  std::optional<uint32_t> current;
  bool was_past_end = false;
  if (rows_kept) {
    const auto view = View();
    if (pos_ < view.size()) {
      current = view[pos_];
    } else {
      was_past_end = !view.empty();
    }
  }
  if (rows_kept) {
    if (order_.use_count() > 1) order_ = std::make_shared<std::vector<uint32_t>>(*order_);
    order_cmp_.Extend(*order_);
  } else {
    order_ = order_cmp_.Sorted();
  }
  RebuildFiltered();
  ComputeBounds();
  MarkSynced();

  const auto view = View();
  std::optional<size_t> found;
  if (follow_row_) found = order_cmp_.Locate(view, *follow_row_);
  if (!found && current) found = order_cmp_.Locate(view, *current);
  follow_row_.reset();
  if (found) {
    pos_ = *found;
    bof_ = false;
  } else if (was_past_end) {
    // A reader that had walked off the end stays there rather than starting over.
    pos_ = view.size();
    bof_ = false;
  } else {
    pos_ = 0;
    bof_ = true;
  }
}

std::vector<KeyValue> DataCursor::KeyFor(const std::vector<Variant>& values,
                                         bool& converted) const {
  std::vector<KeyValue> key;
  key.reserve(values.size());
  for (size_t i = 0; i < values.size(); ++i) {
    auto value = ToKeyValue(values[i], store_->FieldType(order_cmp_.Fields()[i]));
    if (!value) {
      converted = false;
      return key;
    }
    key.push_back(std::move(*value));
  }
  return key;
}

void DataCursor::CheckKeySize(size_t size) const {
  const size_t fields = order_cmp_.Fields().size();
  if (size > fields) {
    throw Exception(fmt::format("A chave tem {} valores, mas o índice '{}' tem {} campos.", size,
                                IndexFieldNames(), fields));
  }
}

void DataCursor::CompileFilter() {
  filter_ = Trim(filter_text_).empty() ? nullptr : FilterExpr::Compile(filter_text_, *store_);
}

void DataCursor::RebuildFiltered() {
  filtered_rows_.clear();
  if (!filtered_ || !filter_) {
    filtered_rows_.shrink_to_fit();
    return;
  }
  for (const uint32_t row : *order_) {
    if (filter_->Matches(*store_, row)) filtered_rows_.push_back(row);
  }
}

void DataCursor::ComputeBounds() {
  const auto base = Base();
  if (!range_) {
    lo_ = 0;
    hi_ = base.size();
  } else if (range_->matches_nothing) {
    lo_ = hi_ = 0;
  } else {
    lo_ = order_cmp_.LowerBound(base, range_->start);
    hi_ = std::max(lo_, order_cmp_.UpperBound(base, range_->end));
  }
}

std::span<const uint32_t> DataCursor::Base() const {
  if (filtered_ && filter_) return filtered_rows_;
  return *order_;
}

std::span<const uint32_t> DataCursor::View() const { return Base().subspan(lo_, hi_ - lo_); }

void DataCursor::MoveTo(std::optional<uint32_t> row) {
  const std::optional<size_t> found = row ? order_cmp_.Locate(View(), *row) : std::nullopt;
  pos_ = found.value_or(0);
  bof_ = !found;
}

void DataCursor::MarkSynced() {
  seen_version_ = store_->Version();
  seen_epoch_ = store_->Epoch();
}

}  // namespace nrw
