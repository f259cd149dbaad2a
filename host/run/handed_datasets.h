// Record datasets that the host prepares for a run and hands to the module by handle (the layout's
// "handed_datasets"): loaded before Imprimir with the rows of the panel's selection, registered in
// the handle table, their handles written to their parameters, and checked afterwards for having
// been emptied by the module. The object owns the datasets and their registrations for one
// Imprimir; the handles resolve to nothing once it is gone.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "layout/layout.h"
#include "nrw/handles.h"
#include "nrw/report.h"
#include "nrw/sql.h"

namespace nrw {

class TnReportEngine;

//! The statement that loads one handed dataset: its table's rows that pass the shared condition
//! and the filters of the parameters that restrict the selection, in the dataset's order.
std::string HandedDataSetSql(const LayoutHandedDataSets& handed, const LayoutHandedDataSet& dataset,
                             const TnpqPowerParam& panel);

class HandedDataSets {
 public:
  //! Loads and hands over every dataset the layout declares (none: does nothing). A table without
  //! rows gives an empty, open dataset. Raises naming the dataset whose statement failed.
  explicit HandedDataSets(TnReportEngine& engine);
  ~HandedDataSets();
  HandedDataSets(const HandedDataSets&) = delete;
  HandedDataSets& operator=(const HandedDataSets&) = delete;

  //! Raises naming every dataset that still holds records (filters and ranges the module left are
  //! dropped first, so that every record counts).
  void CheckEmptied();

  size_t Count() const { return entries_.size(); }
  TnClientDataSet& DataSet(size_t index) { return *entries_.at(index).rows; }
  int32_t Handle(size_t index) const { return entries_.at(index).registration->handle(); }

 private:
  struct Entry {
    const LayoutHandedDataSet* layout = nullptr;
    TDataSetRef rows;
    //! Declared after the rows: the handle is withdrawn before the dataset is freed.
    std::unique_ptr<HandleRegistration> registration;
  };
  std::vector<Entry> entries_;
};

}  // namespace nrw
