#include "run/password_template.h"

#include "nrw/core.h"
#include "nrw/format.h"
#include "nrw/util.h"
#include "nrwhost/files.h"

namespace nrw {
namespace {

std::string Placeholder(const std::string& spec, const PatternLookup& lookup) {
  const std::vector<std::string> pieces = SplitString(spec, ':');
  const std::optional<std::string> value = lookup(pieces[0]);
  if (!value) {
    throw UsageError("--password usa {" + pieces[0] + "}, que não é parâmetro do relatório.");
  }
  if (pieces.size() == 1) return *value;
  int64_t count = -1;
  if (pieces[1] != "digits" || pieces.size() > 3 ||
      (pieces.size() == 3 && (!TryStrToInt(pieces[2], count) || count <= 0))) {
    throw UsageError("Marcador inválido em --password: {" + spec +
                     "} (use {NOME}, {NOME:digits} ou {NOME:digits:N}).");
  }
  std::string digits = LimparStrToInteger(*value);
  if (count > 0 && static_cast<size_t>(count) < digits.size()) digits.resize(count);
  return digits;
}

}  // namespace

std::string ExpandPassword(const std::string& pattern, const PatternLookup& lookup) {
  const std::string result = ExpandPlaceholders(
      pattern, [&lookup](const std::string& spec) { return Placeholder(spec, lookup); });
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
