// TnClientDataSet: an in-memory, typed result set with a cursor. Rows are kept in one shared store;
// each dataset object (and each cloned cursor) has its own current record, index, range and filter.
// The index is a sorted permutation of the rows, so FindKey and SetRange are binary searches.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <typeindex>
#include <vector>

#include "nrw/api.h"
#include "nrw/core.h"
#include "nrw/datetime.h"
#include "nrw/variant.h"

namespace nrw {

enum class TFieldType { Integer, Float, Text, Date };

class TnClientDataSet;
class TnDataStore;
class TnDataProvider;
class DataSetHost;

//! One column seen through one dataset's cursor: reads the value of the current record.
//! Owned by its dataset; valid as long as the dataset lives.
class NRW_API TField {
 public:
  TField(TnClientDataSet& owner, int index);
  const std::string& FieldName() const;
  int Index() const { return index_; }
  TFieldType DataType() const;
  bool IsNull() const;
  //! Conversions as Variant's; reading with no current record (empty dataset, Eof) gives null.
  int64_t AsInteger() const;
  double AsFloat() const;
  std::string AsString() const;
  TDateTime AsDateTime() const;
  Variant Value() const;

 private:
  TnClientDataSet* owner_;
  int index_;
};

//! Receives the members of a field map: binder("CodigoEmpresa", CodigoEmpresa).
class NRW_API TnFieldBinder {
 public:
  explicit TnFieldBinder(TnClientDataSet& dataset) : dataset_(dataset) {}
  void operator()(std::string_view name, TField*& member);

 private:
  TnClientDataSet& dataset_;
};

//! Base of the field-map classes: plain objects whose members are fields bound by name.
class NRW_API TnFieldMap {
 public:
  virtual ~TnFieldMap();
  //! Lists every member with its column name.
  virtual void Fields(TnFieldBinder& bind) = 0;
};

//! Binds every field member of the map to the dataset column of the same name; a missing column
//! raises the error of FieldByName.
NRW_API void MapearFields(TnClientDataSet& dataset, TnFieldMap& map);

class NRW_API TnClientDataSet : public TObject {
 public:
  //! An open dataset with no fields and no rows.
  TnClientDataSet();
  ~TnClientDataSet() override;

  // Structure and data.
  //! Adds a record at the end of the store (seen by every cursor on it).
  void AppendRecord(const std::vector<Variant>& values);
  //! Deletes every record; the fields stay. Clones sharing the store see it empty too.
  void EmptyDataSet();

  // Open state.
  bool Active() const;
  void Open();
  //! Closed datasets raise "Operação não permitida em um dataset fechado." on positioning.
  void Close();

  // Fields.
  int FieldCount() const;
  TField& Fields(int index);
  //! Case-insensitive; raises Exception "Campo '<name>' não encontrado" when missing.
  TField& FieldByName(std::string_view name);
  TField* FindField(std::string_view name);

  // Cursor over the current view (index order, inside the range, passing the filter).
  void First();
  void Last();
  void Next();
  void Prior();
  bool Eof() const;
  bool Bof() const;
  bool IsEmpty() const;
  //! 1-based position of the current record in the view; 0 when there is none.
  int RecNo() const;
  void SetRecNo(int recno);
  int RecordCount() const;

  // Index: field names separated by ";", case-insensitive. Empty: store order. Changing the index
  // fields drops the range and keeps the current record.
  std::string IndexFieldNames() const;
  void SetIndexFieldNames(const std::string& names);
  //! Exact search on a prefix of the index fields, values converted to the fields' types. Found:
  //! the cursor is on the first matching record of the view and true is returned. Not found: the
  //! cursor does not move.
  bool FindKey(const std::vector<Variant>& key);
  //! Restricts the view to the records whose index prefix lies between start and end (inclusive);
  //! the cursor goes to the first of them.
  void SetRange(const std::vector<Variant>& start, const std::vector<Variant>& end);
  void CancelRange();
  bool HasRange() const;

  // Filter: "FIELD = value" comparisons (=, <>, <, >, <=, >=) joined with and/or/not and
  // parentheses; values are numbers or quoted texts. A malformed text raises when filtering starts.
  std::string Filter() const;
  void SetFilter(const std::string& text);
  bool Filtered() const;
  void SetFiltered(bool on);

  //! Makes this dataset a second cursor on the source's rows. reset: start with no index, range
  //! or filter; keep_settings: copy the source's index, range and filter. Neither: no index,
  //! range or filter either (the source's settings are not copied). Goes to the first record.
  void CloneCursor(TnClientDataSet& source, bool reset, bool keep_settings);

  //! Display links are a panel concern; the host keeps the count only.
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const;

  //! The map object of class T, made and bound on first request, owned by the dataset.
  template <class T>
  T& FieldMapper() {
    if (TnFieldMap* found = FindMap(typeid(T))) return static_cast<T&>(*found);
    auto made = std::make_unique<T>();
    T& ref = *made;
    AddMap(typeid(T), std::move(made));
    return ref;
  }

 private:
  friend class TField;
  //! The host makes datasets over its stores and re-runs their statements (data/dataset_host.h).
  friend class DataSetHost;

  explicit TnClientDataSet(std::shared_ptr<TnDataStore> store);
  //! Replaces all rows (and fields) with a new store; keeps index field names that still exist,
  //! drops range and current record (goes to the first record), keeps the filter. Field objects
  //! stay valid when the column names are the same; otherwise new ones are made, the field maps are
  //! bound again, and references to the old fields are invalid.
  void SetStore(std::shared_ptr<TnDataStore> store);
  void SetProvider(std::shared_ptr<TnDataProvider> provider);
  TnDataProvider* Provider() const;
  Variant CurrentValue(int field) const;
  bool CurrentIsNull(int field) const;
  //! The store of the rows and the current record's row, for reading a field without a Variant;
  //! nullptr when there is no current record.
  const TnDataStore* CurrentRecord(int field, uint32_t& row) const;
  TFieldType FieldType(int field) const;
  const std::string& FieldName(int field) const;

  TnFieldMap* FindMap(std::type_index type) const;
  void AddMap(std::type_index type, std::unique_ptr<TnFieldMap> map);

  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace nrw
