// Who receives a part: the part's registration number (CPF or CNPJ, from its separator values or
// its row) and what a directory knows of it. Directories are the address file the user gives
// (--enderecos) and the database; the file wins.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "mail/manifest.h"

namespace nrw::mail {

struct Recipient {
  //! As found: it may be malformed (the delivery refuses it for that part) or empty (none known).
  std::string address;
  std::string name;
  //! Where the address came from, for the journal ("--enderecos linha 4", "FUNCPESSOA").
  std::string source;
  //! Why the address cannot be used although one was given (two different ones for one number).
  std::string problem;
};

class RecipientDirectory {
 public:
  virtual ~RecipientDirectory() = default;
  //! What the directory knows of the registration number; nothing when it knows nothing.
  virtual std::optional<Recipient> Find(const std::string& registration) = 0;
};

//! The registration number the part is for: its separator value of the beneficiary parameters
//! ("pBeneficiarios", "pFuncionarios"), else its row's beneficiary column (INSCRFEDERALBENEF,
//! CPFFUNC, CPF, CNPJ); nothing for a part that names no one (a part per company).
std::optional<std::string> RegistrationOf(const ManifestPart& part);

//! An address file: CSV with ';', "registration number;e-mail" per line, an optional header line
//! (one whose second field has no '@'). Numbers match by their digits, written with or without
//! punctuation. A number given twice with different addresses has neither.
class AddressFile : public RecipientDirectory {
 public:
  //! Raises InputError when the file cannot be read or is not such a CSV.
  explicit AddressFile(const std::string& path);
  std::optional<Recipient> Find(const std::string& registration) override;
  size_t Size() const { return entries_.size(); }

 private:
  std::map<std::string, Recipient> entries_;
};

//! Asks each directory in turn: the address (or its problem) of the first that has one, the name
//! of the first that has one.
class DirectoryChain : public RecipientDirectory {
 public:
  void Add(std::unique_ptr<RecipientDirectory> directory);
  std::optional<Recipient> Find(const std::string& registration) override;

 private:
  std::vector<std::unique_ptr<RecipientDirectory>> directories_;
};

}  // namespace nrw::mail
