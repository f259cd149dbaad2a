// Building datasets inside the host: the builder that fills a store column by column, row by row
// (the SQL layer, the siblings, the datasets the host hands to modules), and the provider that lets
// a dataset run its statement again (RefreshSQL).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "nrw/dataset.h"

namespace nrw {

//! Column description when a dataset is built; Unknown types are decided from the values
//! (computed SQL columns): all integers -> Integer, any float -> Float, ISO date texts -> Date.
struct TnFieldDef {
  std::string name;
  std::optional<TFieldType> type;
};

//! Builds a dataset's rows column by column, row by row: one Append per column in order, then
//! EndRow. Used by the SQL layer and by hosts that prepare datasets themselves.
class TnDataSetBuilder {
 public:
  explicit TnDataSetBuilder(std::vector<TnFieldDef> fields);
  ~TnDataSetBuilder();
  TnDataSetBuilder(const TnDataSetBuilder&) = delete;
  TnDataSetBuilder& operator=(const TnDataSetBuilder&) = delete;

  void AppendNull();
  void AppendInteger(int64_t value);
  void AppendFloat(double value);
  void AppendText(std::string_view value);
  void AppendDate(TDateTime value);
  void Append(const Variant& value);
  void EndRow();
  //! Finishes the store; the builder is empty afterwards.
  std::shared_ptr<TnDataStore> Finish();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

//! Source of a dataset's rows that can run again with new parameter values (RefreshSQL).
class TnDataProvider {
 public:
  virtual ~TnDataProvider();
  virtual std::shared_ptr<TnDataStore> Fetch(const std::vector<Variant>& values) = 0;
  //! Statement text as sent, for messages.
  virtual std::string Text() const = 0;
};

//! The host's access to the parts of TnClientDataSet that modules do not see.
class DataSetHost {
 public:
  //! An open dataset over the store.
  static std::unique_ptr<TnClientDataSet> Make(std::shared_ptr<TnDataStore> store);
  static void SetStore(TnClientDataSet& dataset, std::shared_ptr<TnDataStore> store) {
    dataset.SetStore(std::move(store));
  }
  static void SetProvider(TnClientDataSet& dataset, std::shared_ptr<TnDataProvider> provider) {
    dataset.SetProvider(std::move(provider));
  }
  static TnDataProvider* Provider(const TnClientDataSet& dataset) { return dataset.Provider(); }
  static const std::string& FieldName(const TnClientDataSet& dataset, int field) {
    return dataset.FieldName(field);
  }
};

}  // namespace nrw
