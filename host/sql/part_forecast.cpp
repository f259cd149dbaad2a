#include "sql/part_forecast.h"

#include <algorithm>
#include <utility>

#include "sql/sql_lexer.h"
#include "util/sql_literal.h"

namespace nrw {
namespace {

// Index of the part value equal to value that differs in the other part; npos when none.
size_t Replaced(const PartValues& from, const PartValues& to, const Variant& value) {
  for (size_t i = 0; i < from.size() && i < to.size(); ++i) {
    if (from[i] == value) return from[i] == to[i] ? std::string::npos : i;
  }
  return std::string::npos;
}

}  // namespace

bool ForecastStatement(const PartValues& from, const PartValues& to, std::string& sql,
                       std::vector<Variant>& values) {
  bool replaced = false;
  for (Variant& value : values) {
    const size_t i = Replaced(from, to, value);
    if (i == std::string::npos) continue;
    value = to[i];
    replaced = true;
  }
  // Text literals only: a number in the text may be anything (a month, a column's position).
  std::string out;
  bool rewritten = false;
  for (const SqlToken& token : TokenizeSql(sql)) {
    const size_t i = token.kind == SqlTokenKind::kString ? Replaced(from, to, LiteralValue(token))
                                                         : std::string::npos;
    if (i != std::string::npos && to[i].kind() == Variant::Kind::Text) {
      out += StandardSqlLiteral(to[i]);
      rewritten = true;
    } else {
      out += token.text;
    }
  }
  if (rewritten) {
    sql = std::move(out);
    replaced = true;
  }
  return replaced;
}

std::vector<ForecastRun> PartForecast::Begin(const std::vector<PartValues>& parts) {
  if (active_ && !recording_.empty()) {
    model_ = std::move(recording_);
    model_values_ = std::move(current_);
  }
  recording_.clear();
  if (parts.empty()) {
    *this = PartForecast();
    return {};
  }
  active_ = true;
  current_ = parts[0];
  ++begun_;
  // parts[first] is the first not forecast yet: a batch goes when half of the last is printed.
  const size_t first = forecast_through_ >= begun_ ? forecast_through_ - begun_ + 1 : 0;
  if (model_.empty() || first > kPartsAhead / 2 || first >= parts.size()) return {};
  const size_t end = std::min(parts.size(), first + kPartsAhead);
  forecast_through_ = begun_ + end - 1;
  std::vector<ForecastRun> runs;
  for (size_t part = first; part < end; ++part) {
    for (const Sent& sent : model_) {
      ForecastRun run{sent.sql, sent.conversion, sent.values, part};
      if (ForecastStatement(model_values_, parts[part], run.sql, run.values)) {
        runs.push_back(std::move(run));
      }
    }
  }
  return runs;
}

void PartForecast::Record(const std::string& sql, SqlConversion conversion,
                          const std::vector<Variant>& values) {
  if (active_) recording_.push_back({sql, conversion, values});
}

}  // namespace nrw
