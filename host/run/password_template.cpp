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
  return result;
}

}  // namespace nrw
