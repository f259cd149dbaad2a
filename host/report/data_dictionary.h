// The data-dictionary entries the panel's items name (TnpqParamItem::FieldDefinicao): the table a
// lookup lists its candidates from, the kind of value a selection holds, and the column that ties
// a row to its company, by which the user's company rights restrict the list.
#pragma once

#include <string_view>

namespace nrw {

struct DictionaryEntry {
  const char* entry;
  //! Empty: the host keeps no table of the entry, and the item has no lookup.
  const char* table;
  const char* value_column;
  //! The column read as the candidate's text; empty: the value alone.
  const char* text_column;
  //! The column holding the row's company code; empty: the rows belong to no company.
  const char* company_column;
  //! FilterInterval's value kind of a selection of the entry: 1 codes, 2 text identifiers.
  int kind;
};

//! The entry of that name (case ignored); nullptr when the host does not know it.
const DictionaryEntry* FindDictionaryEntry(std::string_view entry);

//! The entry of the company code, the one whose selections the user's rights confine.
inline constexpr std::string_view kCompanyEntry = "CODIGOEMPRESA";
//! The entry of a processing group, whose companies widen a company selection.
inline constexpr std::string_view kGroupEntry = "CODIGOGRUPOPROC";

}  // namespace nrw
