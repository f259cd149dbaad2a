// Host-internal: statements that differ only in the literals the rewrite lifts into parameters (one
// per separated part, naming its beneficiary) are rewritten once. A statement's shape is its text
// with each literal that could be lifted marked; the rewrite of a shape is kept with the literals
// it left in the text, and serves a later statement of the same shape whose left literals are the
// same (what a rewrite does depends on the tokens around a literal and the literal's kind only).
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "sql/sql_lexer.h"
#include "sql/sql_rewriter.h"

namespace nrw {

struct SqlShape {
  //! The text with each liftable literal replaced by a mark of its kind.
  std::string masked;
  //! The liftable literals, in order.
  std::vector<SqlToken> literals;
};

SqlShape ShapeOfSql(std::string_view sql);

//! What statements of one shape answer alike: their results' index and their columns' names as the
//! text spells them (the ORDER BY and the result columns are the same text in all of them).
class ShapeMemo {
 public:
  //! The index fields for the result columns, computed by make the first time.
  std::string IndexFields(const std::vector<std::string>& columns,
                          const std::function<std::string()>& make);
  //! The names of result columns as the text spells them, for the names the server gave (key),
  //! computed by make the first time.
  std::vector<std::string> ColumnNames(const std::vector<std::string>& key,
                                       const std::function<std::vector<std::string>()>& make);
  //! The hash of the rewritten text (the same for every statement of the shape), computed by make
  //! the first time.
  size_t TextHash(const std::function<size_t()>& make);

 private:
  //! Answers made for a list of names (a few per shape), looked up by the names.
  template <class T>
  using Answers = std::vector<std::pair<std::vector<std::string>, T>>;
  template <class T>
  static T Recall(Answers<T>& answers, const std::vector<std::string>& names,
                  const std::function<T()>& make);

  Answers<std::string> indexes_;
  Answers<std::vector<std::string>> column_names_;
  std::optional<size_t> text_hash_;
};

class AdaptedSqlCache {
 public:
  static constexpr size_t kShapes = 256;

  struct Adapted {
    AdaptedSql sql;
    std::shared_ptr<ShapeMemo> memo;
  };

  //! The rewrite of sql under key_prefix (what else the rewrite depends on): adapt's, whose
  //! lifted_from names the literals it lifted, or the one of a statement of the same shape.
  Adapted Adapt(std::string_view sql, std::string_view key_prefix,
                const std::function<AdaptedSql()>& adapt);

 private:
  struct Entry {
    AdaptedSql adapted;
    //! Every liftable literal of the statement adapted; those not lifted must match.
    std::vector<std::string> literals;
    std::vector<bool> lifted;
    std::shared_ptr<ShapeMemo> memo;
  };
  std::unordered_map<std::string, Entry> entries_;
};

}  // namespace nrw
