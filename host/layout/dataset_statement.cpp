#include "layout/dataset_statement.h"

#include "sql/sql_lexer.h"
#include "util/name_key.h"

namespace nrw {

std::vector<std::string> MainDatasetParamNames(const std::string& sql) {
  std::vector<std::string> names;
  std::vector<std::string> keys;
  for (const SqlToken& token : TokenizeSql(sql)) {
    if (token.kind != SqlTokenKind::kParameter) continue;
    const std::string name(SqlParameterName(token));
    std::string key = NameKey(name);
    bool seen = false;
    for (const std::string& existing : keys) seen = seen || existing == key;
    if (seen) continue;
    keys.push_back(std::move(key));
    names.push_back(name);
  }
  return names;
}

}  // namespace nrw
