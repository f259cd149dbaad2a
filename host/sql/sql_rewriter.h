// The walk every dialect adapter shares: named parameters numbered by distinct name, the escape
// forms ({fn ...}, {d '...'}) unwrapped, and EXTRACT and TIMESTAMPADD found with one tokenizer and
// handed to the dialect to write. Text inside literals, quoted names and comments is never changed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "nrw/variant.h"
#include "sql/sql_lexer.h"

namespace nrw {

struct AdaptedSql {
  //! The statement in the dialect's terms, its parameters numbered.
  std::string text;
  //! Distinct parameter names in order of first appearance, as first written; parameter N of the
  //! text is the Nth.
  std::vector<std::string> param_names;
  //! Literals taken out of the text as parameters (see SqlLiterals::kLift), numbered after the
  //! named ones in this order.
  std::vector<Variant> lifted;
  //! For each lifted value, which liftable literal of the text it was (counted from 0).
  std::vector<size_t> lifted_from;
  //! PostgreSQL: the text without the ORDER BY's tie-breaking items, when it has any (a statement
  //! they do not fit runs without them).
  std::string untied_text;
};

//! Whether a query's literal operands are sent as parameters: a comparison's right-hand string or
//! integer, and the items of a short IN list of such literals. Queries that differ only in those
//! values (one per separated part) then share one prepared statement; the value compares as the
//! literal would, neither having a column affinity.
enum class SqlLiterals { kKeep, kLift };

//! A literal that may stand for a parameter: a whole string, or an integer that fits 64 bits (a
//! real's text could round differently from the database's own reading of it).
bool LiftableLiteral(const SqlToken& token);
//! The value a liftable literal stands for.
Variant LiteralValue(const SqlToken& token);

enum class SqlDateUnit { kYear, kMonth, kDay };

//! Whether the escape forms and the functions a database lacks are rewritten (the host's automatic
//! conversion, PodeOnSQLConverte) or left as written. Parameters are numbered either way.
enum class SqlConversion { kOn, kOff };

//! The conversion that PodeOnSQLConverte asks for now.
SqlConversion CurrentSqlConversion();

//! Distinct parameter names of the statement in order of first appearance, as first written.
std::vector<std::string> ScanSqlParamNames(std::string_view sql);

//! A dialect derives from this and writes the parts the databases spell differently.
class SqlRewriter {
 public:
  SqlRewriter(std::string_view sql, SqlConversion conversion,
              SqlLiterals literals = SqlLiterals::kKeep);
  virtual ~SqlRewriter();
  SqlRewriter(const SqlRewriter&) = delete;
  SqlRewriter& operator=(const SqlRewriter&) = delete;

  //! Rewrites the whole statement; call once.
  AdaptedSql Adapt();

 protected:
  //! Tokens [begin, end) of the statement.
  struct Range {
    size_t begin;
    size_t end;
  };

  //! The parameter numbered `number` (from 1).
  virtual void WriteParameter(size_t number) = 0;
  //! EXTRACT(unit FROM operand) as an integer.
  virtual void WriteExtract(SqlDateUnit unit, Range operand) = 0;
  //! The date `count` units after `date` (a month or year shift stops at the last day of the
  //! target month).
  virtual void WriteDateAdd(SqlDateUnit unit, Range count, Range date) = 0;

  //! Called before the construct at token `index` is written, and with the token count at the
  //! end: a dialect adds text at a token boundary there.
  virtual void WriteBefore(size_t index) {}

  void Write(std::string_view text) { out_ += text; }
  const std::vector<SqlToken>& Tokens() const { return tokens_; }
  //! Writes the tokens of the range, rewriting what they hold.
  void Emit(Range range);

 private:
  size_t EmitAt(size_t i, size_t end);
  size_t EmitExtract(size_t word, size_t end);
  size_t EmitTimestampAdd(size_t word, size_t end);
  size_t EmitEscape(size_t open, size_t end);
  Range Trimmed(Range range) const;
  void EmitTrimmed(Range range) { Emit(Trimmed(range)); }
  std::vector<Range> SplitArguments(size_t begin, size_t end) const;
  size_t ParameterNumber(const SqlToken& token) const;
  void MarkLiftableLiterals();
  bool Liftable(size_t literal) const;
  size_t MarkInList(size_t word);

  std::string sql_;
  SqlConversion conversion_;
  std::vector<SqlToken> tokens_;
  std::vector<std::string> param_names_;
  //! Upper-case name -> number.
  std::unordered_map<std::string, size_t> param_numbers_;
  //! Per token: whether it is a literal sent as a parameter.
  std::vector<bool> lift_;
  //! Per token: its place among the liftable literals.
  std::vector<size_t> literal_ordinal_;
  std::vector<Variant> lifted_;
  std::vector<size_t> lifted_from_;
  std::string out_;
};

}  // namespace nrw
