// The demonstration database: companies, employees, third parties, two base years of the
// withholding declaration and the state guide's records, generated deterministically from a seed
// into a fresh connection.
#pragma once

#include <cstdint>

#include "nrwhost/database.h"

namespace nrw {

//! The base years the generator makes data for, and the most employees it adds.
constexpr int kPrimeiroAnoDemo = 2001;
constexpr int kUltimoAnoDemo = 2099;
constexpr int kMaximoExtrasDemo = 1000000;

//! What to generate. The same options always give the same database.
struct OpcoesDemo {
  //! Main base year; the year before it is generated as well.
  int ano_base;
  //! Employees generated on top of the fixed roster, spread over the declaring companies.
  int beneficiarios_extras = 0;
  uint32_t semente = 20240101;
  //! Drops the application's tables and views first, in the same transaction.
  bool substituir = false;
};

//! Creates the schema on an empty database (or over the application's own tables, with
//! substituir), fills it and analyses it (the planner statistics then describe this data), in one
//! transaction; on failure nothing is kept and the error is raised. The connection stays the
//! caller's.
void CriarBancoDemo(TnConnection& connection, const OpcoesDemo& opcoes);

}  // namespace nrw
