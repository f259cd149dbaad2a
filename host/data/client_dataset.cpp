#include <fmt/format.h>

#include <utility>

#include "core/live_count.h"
#include "data/data_cursor.h"
#include "data/data_store.h"
#include "data/dataset_builder.h"
#include "nrw/core.h"
#include "nrw/dataset.h"

namespace nrw {

namespace {

constexpr const char* kClosedMessage = "Operação não permitida em um dataset fechado.";

}  // namespace

struct TnClientDataSet::Impl {
  LiveToken<LiveKind::DataSet> live;
  DataCursor cursor;
  bool active = true;
  std::vector<std::unique_ptr<TField>> fields;
  //! Fields replaced by a store with other columns: kept alive so that a stale reference reads an
  //! error or another column, never freed memory.
  std::vector<std::unique_ptr<TField>> retired_fields;
  std::vector<std::pair<std::type_index, std::unique_ptr<TnFieldMap>>> maps;
  std::shared_ptr<TnDataProvider> provider;
  int controls_disabled = 0;

  explicit Impl(std::shared_ptr<TnDataStore> store) : cursor(std::move(store)) {}

  void CheckActive() const {
    if (!active) throw Exception(kClosedMessage);
  }

  const TnDataStore& Store() const { return *cursor.Store(); }

  void CheckField(int field) const {
    if (field < 0 || field >= Store().FieldCount()) {
      throw Exception(fmt::format("Campo de índice {} inexistente: o dataset tem {} campos.", field,
                                  Store().FieldCount()));
    }
  }

  //! Builds the field objects for the current store, unless the columns did not change.
  void SyncFields(TnClientDataSet& owner, const TnDataStore* previous) {
    const TnDataStore& store = Store();
    if (previous != nullptr && previous->SameFieldNames(store) &&
        fields.size() == static_cast<size_t>(store.FieldCount())) {
      return;
    }
    for (auto& field : fields) retired_fields.push_back(std::move(field));
    fields.clear();
    for (int i = 0; i < store.FieldCount(); ++i) {
      fields.push_back(std::make_unique<TField>(owner, i));
    }
    for (auto& [type, map] : maps) MapearFields(owner, *map);
  }

  //! Moves the cursor to another store, then raises whatever the cursor or the maps raised.
  void ReplaceStore(TnClientDataSet& owner, std::shared_ptr<TnDataStore> store, bool clone,
                    const DataCursor* source, bool keep_settings) {
    const std::shared_ptr<TnDataStore> previous = cursor.Store();
    std::exception_ptr error;
    try {
      if (clone) {
        cursor.CloneFrom(*source, keep_settings);
      } else {
        cursor.Attach(std::move(store));
      }
    } catch (...) {
      error = std::current_exception();
    }
    SyncFields(owner, previous.get());
    if (error) std::rethrow_exception(error);
  }
};

TnClientDataSet::TnClientDataSet() : impl_(std::make_unique<Impl>(nullptr)) {
  impl_->SyncFields(*this, nullptr);
}

TnClientDataSet::TnClientDataSet(std::shared_ptr<TnDataStore> store)
    : impl_(std::make_unique<Impl>(std::move(store))) {
  impl_->SyncFields(*this, nullptr);
}

TnClientDataSet::~TnClientDataSet() = default;

void TnClientDataSet::SetStore(std::shared_ptr<TnDataStore> store) {
  impl_->ReplaceStore(*this, std::move(store), false, nullptr, false);
}

void TnClientDataSet::SetProvider(std::shared_ptr<TnDataProvider> provider) {
  impl_->provider = std::move(provider);
}

TnDataProvider* TnClientDataSet::Provider() const { return impl_->provider.get(); }

void TnClientDataSet::AppendRecord(const std::vector<Variant>& values) {
  impl_->CheckActive();
  impl_->cursor.Unshare();
  TnDataStore& store = *impl_->cursor.Store();
  store.AppendRecord(values);
  impl_->cursor.FollowRow(static_cast<uint32_t>(store.RowCount() - 1));
}

void TnClientDataSet::EmptyDataSet() {
  impl_->CheckActive();
  impl_->cursor.Unshare();
  impl_->cursor.Store()->Clear();
}

bool TnClientDataSet::Active() const { return impl_->active; }

void TnClientDataSet::Open() {
  impl_->active = true;
  impl_->cursor.First();
}

void TnClientDataSet::Close() { impl_->active = false; }

int TnClientDataSet::FieldCount() const { return static_cast<int>(impl_->fields.size()); }

TField& TnClientDataSet::Fields(int index) {
  if (index < 0 || index >= FieldCount()) {
    throw Exception(fmt::format("Campo de índice {} inexistente: o dataset tem {} campos.", index,
                                FieldCount()));
  }
  return *impl_->fields[static_cast<size_t>(index)];
}

TField& TnClientDataSet::FieldByName(std::string_view name) {
  if (TField* field = FindField(name)) return *field;
  throw Exception(fmt::format("Campo '{}' não encontrado.", name));
}

TField* TnClientDataSet::FindField(std::string_view name) {
  const int index = impl_->Store().FindField(name);
  return index < 0 ? nullptr : impl_->fields[static_cast<size_t>(index)].get();
}

void TnClientDataSet::First() {
  impl_->CheckActive();
  impl_->cursor.First();
}

void TnClientDataSet::Last() {
  impl_->CheckActive();
  impl_->cursor.Last();
}

void TnClientDataSet::Next() {
  impl_->CheckActive();
  impl_->cursor.Next();
}

void TnClientDataSet::Prior() {
  impl_->CheckActive();
  impl_->cursor.Prior();
}

bool TnClientDataSet::Eof() const {
  impl_->CheckActive();
  return impl_->cursor.Eof();
}

bool TnClientDataSet::Bof() const {
  impl_->CheckActive();
  return impl_->cursor.Bof();
}

bool TnClientDataSet::IsEmpty() const { return RecordCount() == 0; }

int TnClientDataSet::RecNo() const {
  impl_->CheckActive();
  DataCursor& cursor = impl_->cursor;
  return cursor.CurrentRow() ? static_cast<int>(cursor.Position()) + 1 : 0;
}

void TnClientDataSet::SetRecNo(int recno) {
  impl_->CheckActive();
  if (recno < 1 || recno > RecordCount()) {
    throw Exception(
        fmt::format("Registro {} inexistente: o dataset tem {} registros.", recno, RecordCount()));
  }
  impl_->cursor.SetPosition(static_cast<size_t>(recno - 1));
}

int TnClientDataSet::RecordCount() const {
  impl_->CheckActive();
  return static_cast<int>(impl_->cursor.Count());
}

std::string TnClientDataSet::IndexFieldNames() const { return impl_->cursor.IndexFieldNames(); }

void TnClientDataSet::SetIndexFieldNames(const std::string& names) {
  impl_->cursor.SetIndexFieldNames(names);
}

bool TnClientDataSet::FindKey(const std::vector<Variant>& key) {
  impl_->CheckActive();
  return impl_->cursor.FindKey(key);
}

void TnClientDataSet::SetRange(const std::vector<Variant>& start, const std::vector<Variant>& end) {
  impl_->CheckActive();
  impl_->cursor.SetRange(start, end);
}

void TnClientDataSet::CancelRange() { impl_->cursor.CancelRange(); }

bool TnClientDataSet::HasRange() const { return impl_->cursor.HasRange(); }

std::string TnClientDataSet::Filter() const { return impl_->cursor.Filter(); }

void TnClientDataSet::SetFilter(const std::string& text) { impl_->cursor.SetFilter(text); }

bool TnClientDataSet::Filtered() const { return impl_->cursor.Filtered(); }

void TnClientDataSet::SetFiltered(bool on) { impl_->cursor.SetFiltered(on); }

void TnClientDataSet::CloneCursor(TnClientDataSet& source, bool reset, bool keep_settings) {
  source.impl_->CheckActive();
  if (&source == this) {
    if (!keep_settings) impl_->ReplaceStore(*this, nullptr, true, &impl_->cursor, false);
    impl_->cursor.First();
    return;
  }
  // Clones see each other's changes: they share a store of their own, never a shared result.
  source.impl_->cursor.Unshare();
  impl_->ReplaceStore(*this, nullptr, true, &source.impl_->cursor, keep_settings);
  impl_->active = true;
}

void TnClientDataSet::DisableControls() { ++impl_->controls_disabled; }

void TnClientDataSet::EnableControls() {
  if (impl_->controls_disabled > 0) --impl_->controls_disabled;
}

bool TnClientDataSet::ControlsDisabled() const { return impl_->controls_disabled > 0; }

Variant TnClientDataSet::CurrentValue(int field) const {
  impl_->CheckActive();
  impl_->CheckField(field);
  const std::optional<uint32_t> row = impl_->cursor.CurrentRow();
  return row ? impl_->Store().ValueAt(field, *row) : Variant();
}

const TnDataStore* TnClientDataSet::CurrentRecord(int field, uint32_t& row) const {
  impl_->CheckActive();
  impl_->CheckField(field);
  const std::optional<uint32_t> current = impl_->cursor.CurrentRow();
  if (!current) return nullptr;
  row = *current;
  return &impl_->Store();
}

bool TnClientDataSet::CurrentIsNull(int field) const {
  impl_->CheckActive();
  impl_->CheckField(field);
  const std::optional<uint32_t> row = impl_->cursor.CurrentRow();
  return !row || impl_->Store().IsNull(field, *row);
}

TFieldType TnClientDataSet::FieldType(int field) const {
  impl_->CheckField(field);
  return impl_->Store().FieldType(field);
}

const std::string& TnClientDataSet::FieldName(int field) const {
  impl_->CheckField(field);
  return impl_->Store().FieldName(field);
}

TnFieldMap* TnClientDataSet::FindMap(std::type_index type) const {
  for (const auto& [map_type, map] : impl_->maps) {
    if (map_type == type) return map.get();
  }
  return nullptr;
}

void TnClientDataSet::AddMap(std::type_index type, std::unique_ptr<TnFieldMap> map) {
  // Binding first: a map with a missing column is never kept half bound.
  MapearFields(*this, *map);
  impl_->maps.emplace_back(type, std::move(map));
}

}  // namespace nrw

namespace nrw {

std::unique_ptr<TnClientDataSet> DataSetHost::Make(std::shared_ptr<TnDataStore> store) {
  // The store constructor is private to the host; make_unique cannot reach it.
  return std::unique_ptr<TnClientDataSet>(new TnClientDataSet(std::move(store)));
}

}  // namespace nrw
