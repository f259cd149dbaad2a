#include "run/password_template.h"

#include "nrw/core.h"
#include "nrw/format.h"
#include "nrw/util.h"
#include "nrwhost/files.h"

namespace nrw {
std::string ExpandPassword(const std::string& pattern, const PatternLookup& lookup) {
  const std::string result = ExpandPlaceholders(pattern, [&lookup](const std::string& spec) {
    return PlaceholderText(spec, lookup, "--password");
  });
  if (result.empty()) throw Exception("A senha do documento ficou vazia (--password).");
  if (result.size() > kMaxPasswordBytes) {
    throw Exception("A senha do documento ficou com " + std::to_string(result.size()) +
                    " bytes, mais que os " + std::to_string(kMaxPasswordBytes) +
                    " que a proteção do PDF aceita (--password).");
  }
  return result;
}

size_t LiteralPasswordBytes(const std::string& pattern) {
  return ExpandPlaceholders(pattern, [](const std::string&) { return std::string(); }).size();
}

}  // namespace nrw
