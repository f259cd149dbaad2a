#include "send_directory.h"

#include "mail/errors.h"
#include "nrw/core.h"

namespace nrw::cli {
namespace {

constexpr const char* kPersonSql =
    "SELECT EMAIL, NOMEFUNC FROM FUNCPESSOA WHERE CPFFUNC = :pInscricao";
// The address of the newest year that has one.
constexpr const char* kBeneficiarySql =
    "SELECT EMAIL, NOMEBENEF FROM DIRFREGBENEFICIARIO WHERE INSCRFEDERALBENEF = :pInscricao "
    "ORDER BY CASE WHEN EMAIL IS NULL OR EMAIL = '' THEN 1 ELSE 0 END, ANOBASE DESC, "
    "CODIGOEMPRESA";

std::optional<mail::Recipient> FirstRow(TnPreparedStatement& statement,
                                        const std::string& registration, const char* source) {
  const TDataSetRef rows = statement.Open({Variant(registration)});
  rows->First();
  if (rows->Eof()) return std::nullopt;
  mail::Recipient recipient;
  if (!rows->Fields(0).IsNull()) recipient.address = rows->Fields(0).AsString();
  if (!rows->Fields(1).IsNull()) recipient.name = rows->Fields(1).AsString();
  recipient.source = source;
  return recipient;
}

}  // namespace

DatabaseDirectory::DatabaseDirectory(const std::string& target) : database_(target) {
  TnConnection& connection = *TnConnection::Default();
  try {
    person_ = connection.Prepare(kPersonSql);
    beneficiary_ = connection.Prepare(kBeneficiarySql);
  } catch (const Exception&) {
    person_.reset();
    beneficiary_.reset();
  }
}

std::optional<mail::Recipient> DatabaseDirectory::Find(const std::string& registration) {
  if (!HasAddresses()) return std::nullopt;
  try {
    std::optional<mail::Recipient> person = FirstRow(*person_, registration, "FUNCPESSOA");
    if (person && !person->address.empty()) return person;
    std::optional<mail::Recipient> beneficiary =
        FirstRow(*beneficiary_, registration, "DIRFREGBENEFICIARIO");
    if (beneficiary && person && beneficiary->address.empty()) return person;
    return beneficiary ? beneficiary : person;
  } catch (const Exception& error) {
    throw mail::Failure(std::string("a consulta dos endereços no banco falhou: ") + error.what());
  }
}

}  // namespace nrw::cli
