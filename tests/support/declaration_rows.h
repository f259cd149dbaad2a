// Rows of the yearly withholding declaration (DIRFREG1, DIRFREGBENEFICIARIO, DIRFREG2,
// DIRFREG2DET) for module tests, written as SQL text with typed values, so that a test states its
// data in one expression: db.Exec(Declarante(1) + Beneficiario(b, "Ana") + Registro(b, 561, ...)).
#pragma once

#include <string>

#include "nrw/variant.h"
#include "support/fixture_db.h"

namespace support {

//! A value as an SQL literal: NULL, 12, 12.5, 'text' (apostrophes doubled), '2023-01-01'.
std::string Literal(const nrw::Variant& value);
//! "INSERT INTO table (columns) VALUES (literals);"; with or_ignore a row whose key exists is
//! left as it is.
std::string InsertSql(const std::string& table, const Row& row, bool or_ignore = false);

//! A beneficiary of one company's declaration of a base year.
struct Beneficiary {
  std::string inscr;
  int empresa = 1;
  int ano = 2023;
  int tipo_inscr = 1;
};

//! The declarant of a company and base year (DIRFREG1), with further columns.
std::string Declarante(int empresa, int ano, const Row& more = {});
//! The beneficiary's entry (DIRFREGBENEFICIARIO); kept when it exists already.
std::string BeneficiarioRow(const Beneficiary& b, const std::string& nome, const Row& more = {});
//! The yearly record of a retention code (DIRFREG2).
std::string RegistroRow(const Beneficiary& b, int codigo, int tipo_informe, double rendimento,
                        double retido, const Row& more = {});
//! A month of a record's detail (DIRFREG2DET); month 13 is the thirteenth salary.
std::string MesRow(const Beneficiary& b, int codigo, int mes, const Row& values);

}  // namespace support
