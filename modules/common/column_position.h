// Column positions of a dataset, looked up by name once per run and then read by position.
#pragma once

#include <cstdint>
#include <string_view>

#include "nrw/dataset.h"

namespace nrw::common {

//! The position of the column; raises the error of FieldByName when there is none.
inline int32_t ColumnPosition(TnClientDataSet& dataset, std::string_view name) {
  return dataset.FieldByName(name).Index();
}

}  // namespace nrw::common
