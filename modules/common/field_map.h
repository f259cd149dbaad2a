// A field map written as one list of its columns. NAME_COLUMNS(X) calls X(Column) once per column;
// NRW_FIELD_MAP(TMapName, NAME_COLUMNS) makes of it the map class, whose members are named after
// their columns and bound to the dataset columns of the same names (MapearFields).
#pragma once

#include "nrw/dataset.h"

#define NRW_FIELD_MAP_MEMBER(column) ::nrw::TField* column = nullptr;
#define NRW_FIELD_MAP_BINDING(column) bind(#column, column);

// clang-format off
#define NRW_FIELD_MAP(name, columns)                                                    \
  class name : public ::nrw::TnFieldMap {                                               \
   public:                                                                              \
    columns(NRW_FIELD_MAP_MEMBER)                                                       \
    void Fields(::nrw::TnFieldBinder& bind) override { columns(NRW_FIELD_MAP_BINDING) } \
  }
// clang-format on
