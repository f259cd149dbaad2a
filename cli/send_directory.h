// The recipients a database knows: a person's address in FUNCPESSOA (by CPF), else the newest
// address of the beneficiary in DIRFREGBENEFICIARIO (by CPF or CNPJ). The database is opened
// read-only, as for a report.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "database_scope.h"
#include "mail/recipients.h"
#include "nrwhost/database.h"

namespace nrw::cli {

class DatabaseDirectory : public mail::RecipientDirectory {
 public:
  //! Raises UsageError or Exception when the database cannot be opened.
  explicit DatabaseDirectory(const std::string& target);
  //! Whether the database has the address columns (an older schema has none).
  bool HasAddresses() const { return person_ != nullptr; }
  //! Raises mail::Failure when a lookup fails.
  std::optional<mail::Recipient> Find(const std::string& registration) override;

 private:
  OpenDatabase database_;
  std::unique_ptr<TnPreparedStatement> person_;
  std::unique_ptr<TnPreparedStatement> beneficiary_;
};

}  // namespace nrw::cli
