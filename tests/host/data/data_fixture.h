// Datasets for the data tests, built through the same builder the SQL layer uses.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "data/dataset_builder.h"
#include "nrw/dataset.h"

namespace nrw::test {

inline std::shared_ptr<TnDataStore> MakeStore(std::vector<TnFieldDef> fields,
                                              const std::vector<std::vector<Variant>>& rows) {
  TnDataSetBuilder builder(std::move(fields));
  for (const auto& row : rows) {
    for (const Variant& value : row) builder.Append(value);
    builder.EndRow();
  }
  return builder.Finish();
}

inline std::unique_ptr<TnClientDataSet> MakeDataSet(std::vector<TnFieldDef> fields,
                                                    const std::vector<std::vector<Variant>>& rows) {
  return DataSetHost::Make(MakeStore(std::move(fields), rows));
}

//! The values of one field over the whole view, in view order, as text.
inline std::vector<std::string> Column(TnClientDataSet& dataset, const std::string& field) {
  std::vector<std::string> values;
  for (dataset.First(); !dataset.Eof(); dataset.Next()) {
    TField& f = dataset.FieldByName(field);
    values.push_back(f.IsNull() ? "<null>" : f.AsString());
  }
  return values;
}

using Strings = std::vector<std::string>;

}  // namespace nrw::test
