// Dataset filters: comparisons "FIELD op literal" (=, <>, <, >, <=, >=), "FIELD is [not] null",
// joined with and / or / not and parentheses. Compiled once against a store's columns; literals
// are converted to the field types at compile time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "data/data_store.h"

namespace nrw {

class FilterExpr {
 public:
  //! Raises Exception "Filtro inválido: <text>" when the text does not parse, names a missing
  //! field or holds a literal that the field's type cannot take.
  static std::unique_ptr<FilterExpr> Compile(const std::string& text, const TnDataStore& store);
  struct Node;
  explicit FilterExpr(std::unique_ptr<Node> root);
  ~FilterExpr();

  //! store must have the columns the filter was compiled against.
  bool Matches(const TnDataStore& store, uint32_t row) const;

 private:
  std::unique_ptr<Node> root_;
};

}  // namespace nrw
