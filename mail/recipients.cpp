#include "mail/recipients.h"

#include "mail/csv.h"
#include "mail/errors.h"
#include "mail/text.h"
#include "mail/user_file.h"

namespace nrw::mail {
namespace {

constexpr const char* kValueNames[] = {"pBeneficiarios", "pFuncionarios"};
constexpr const char* kRowNames[] = {"INSCRFEDERALBENEF", "CPFFUNC", "CPF", "CNPJ"};

// One line per beneficiary: a million of them fit many times over.
constexpr size_t kMaxAddressFileBytes = size_t{64} << 20;

}  // namespace

std::optional<std::string> RegistrationOf(const ManifestPart& part) {
  for (const char* name : kValueNames) {
    const std::string* value = FindValue(part.values, name);
    if (value != nullptr && !DigitsOf(*value).empty()) return std::string(Trim(*value));
  }
  for (const char* name : kRowNames) {
    const std::string* value = FindValue(part.row, name);
    if (value != nullptr && !DigitsOf(*value).empty()) return std::string(Trim(*value));
  }
  return std::nullopt;
}

AddressFile::AddressFile(const std::string& path) {
  const std::string what = "Endereços " + path;
  const std::string text = ReadUserFile(path, "Endereços", kMaxAddressFileBytes);
  if (!IsValidUtf8(text)) throw InputError(what + ": o arquivo não está em UTF-8.");
  const std::vector<CsvRecord> records = ParseCsv(text, ';', what);
  for (size_t i = 0; i < records.size(); ++i) {
    const CsvRecord& record = records[i];
    if (record.fields.size() < 2) {
      throw InputError(what + ", linha " + std::to_string(record.line) +
                       ": use \"CPF ou CNPJ;e-mail\".");
    }
    const std::string address(Trim(record.fields[1]));
    if (i == 0 && address.find('@') == std::string::npos) continue;  // the header line
    const std::string key = DigitsOf(record.fields[0]);
    if (key.empty()) {
      throw InputError(what + ", linha " + std::to_string(record.line) + ": falta o CPF ou CNPJ.");
    }
    const std::string line = "linha " + std::to_string(record.line);
    const auto [entry, added] =
        entries_.try_emplace(key, Recipient{address, "", "--enderecos " + line, ""});
    if (!added && entry->second.address != address && entry->second.problem.empty()) {
      entry->second.problem = "dois endereços diferentes em --enderecos (" +
                              entry->second.source.substr(entry->second.source.find("linha")) +
                              " e " + line + ")";
    }
  }
}

std::optional<Recipient> AddressFile::Find(const std::string& registration) {
  const auto found = entries_.find(DigitsOf(registration));
  if (found == entries_.end()) return std::nullopt;
  return found->second;
}

void DirectoryChain::Add(std::unique_ptr<RecipientDirectory> directory) {
  directories_.push_back(std::move(directory));
}

std::optional<Recipient> DirectoryChain::Find(const std::string& registration) {
  const auto has_address = [](const Recipient& recipient) {
    return !recipient.address.empty() || !recipient.problem.empty();
  };
  std::optional<Recipient> chosen;
  std::string name;
  for (const auto& directory : directories_) {
    const std::optional<Recipient> found = directory->Find(registration);
    if (!found) continue;
    if (name.empty()) name = found->name;
    if (!chosen || (!has_address(*chosen) && has_address(*found))) chosen = found;
  }
  if (chosen && chosen->name.empty()) chosen->name = name;
  return chosen;
}

}  // namespace nrw::mail
