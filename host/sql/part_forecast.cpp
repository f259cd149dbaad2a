#include "sql/part_forecast.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "sql/sql_lexer.h"

namespace nrw {
namespace {

// The text of a quoted literal, its doubled quotes made single.
std::string LiteralText(std::string_view quoted) {
  std::string text;
  text.reserve(quoted.size());
  for (size_t i = 1; i + 1 < quoted.size(); ++i) {
    text += quoted[i];
    if (quoted[i] == '\'' && quoted[i + 1] == '\'') ++i;
  }
  return text;
}

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return quoted + "'";
}

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
  size_t copied = 0;
  for (size_t pos = 0; pos < sql.size();) {
    const char c = sql[pos];
    if (c == '\'' || c == '"') {
      const size_t end = SqlQuotedEnd(sql, pos, c);
      if (c == '\'') {
        const size_t i =
            Replaced(from, to, Variant(LiteralText(std::string_view(sql).substr(pos, end - pos))));
        if (i != std::string::npos && to[i].kind() == Variant::Kind::Text) {
          out.append(sql, copied, pos - copied);
          out += Quoted(to[i].AsString());
          copied = end;
        }
      }
      pos = end;
      continue;
    }
    const size_t comment_end = SqlCommentEnd(sql, pos);
    pos = comment_end > pos ? comment_end : pos + 1;
  }
  if (copied > 0) {
    out.append(sql, copied, std::string::npos);
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
