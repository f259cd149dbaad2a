// Index of a statement's result: the leading ORDER BY items that name result columns, so that key
// searches and ranges on the dataset follow the order the statement asked for.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nrw {

//! Index field names ("A;B;C") for the last top-level ORDER BY of the statement. Items are taken
//! while each is a column position or a column name (table alias dropped) of the result, in
//! ascending order; the first descending, collated, computed or unknown item ends the index.
//! Empty when the statement has no usable ORDER BY.
std::string IndexFieldsFromOrderBy(std::string_view sql, const std::vector<std::string>& columns);

}  // namespace nrw
