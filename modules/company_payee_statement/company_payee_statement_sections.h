// Sections of the company-payee statement layout that the module prints, named for what they print.
#pragma once

#include "common/sections.h"

namespace company_payee_statement {

#define COMPANY_PAYEE_STATEMENT_SECTIONS(X)                                                       \
  X(kSecaoCabecalhoMensal, 8)            /* the head of the monthly table */                      \
  X(kSecaoMes, 9)                        /* one monthly line */                                   \
  X(kSecaoInformacoesComplementares, 10) /* the complementary information */                      \
  X(kSecaoResponsavel, 11)               /* who answers for the information */                    \
  X(kSecaoAprovacao, 12)                 /* the signature waiver and the approving instruction */ \
  X(kSecaoCabecalhoMensalLei10833, 13)   /* the head of the monthly table, Lei 10.833 form */     \
  X(kSecaoMesLei10833, 14)               /* one monthly line, Lei 10.833 form */

NRW_SECTIONS(COMPANY_PAYEE_STATEMENT_SECTIONS);

}  // namespace company_payee_statement
