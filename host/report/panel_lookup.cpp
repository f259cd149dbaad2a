#include "report/panel_lookup.h"

#include <algorithm>
#include <cctype>

#include "nrw/dataset.h"
#include "sql/sql_run.h"

namespace nrw {
namespace {

std::string Folded(const std::string& text) {
  std::string folded = text;
  std::transform(folded.begin(), folded.end(), folded.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return folded;
}

std::string DigitsOf(const std::string& text) {
  std::string digits;
  for (const char c : text) {
    if (c >= '0' && c <= '9') digits += c;
  }
  return digits;
}

}  // namespace

std::vector<LookupCandidate> ListLookup(const PanelLookup& lookup, const std::string& text,
                                        size_t limit) {
  const std::string wanted = Folded(text);
  const bool digits_only = !text.empty() && DigitsOf(text) == text;
  std::vector<LookupCandidate> candidates;
  const TDataSetRef rows = RunSql(lookup.sql, {});
  TnClientDataSet& data = *rows;
  const bool has_text = !lookup.text_column.empty() && data.FieldCount() > 1;
  for (data.First(); !data.Eof() && candidates.size() < limit; data.Next()) {
    LookupCandidate candidate;
    candidate.value = data.Fields(0).AsString();
    if (has_text) candidate.text = data.Fields(1).AsString();
    const bool matches = wanted.empty() ||
                         Folded(candidate.value).find(wanted) != std::string::npos ||
                         Folded(candidate.text).find(wanted) != std::string::npos ||
                         (digits_only && DigitsOf(candidate.value).find(text) != std::string::npos);
    if (matches) candidates.push_back(std::move(candidate));
  }
  return candidates;
}

}  // namespace nrw
