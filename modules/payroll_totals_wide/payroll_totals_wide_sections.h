// Sections of the landscape payroll totals layout that the module prints, named for what they
// print.
#pragma once

#include "common/sections.h"

namespace payroll_totals_wide {

#define PAYROLL_TOTALS_WIDE_SECTIONS(X)                                  \
  X(kSecaoCabecalhoEstab, 8) /* the company and establishment heading */ \
  X(kSecaoLinha, 9)          /* one competence month */                  \
  X(kSecaoTotalEstab, 10)    /* the establishment subtotal */            \
  X(kSecaoTotalEmpresa, 11)  /* the company total */

NRW_SECTIONS(PAYROLL_TOTALS_WIDE_SECTIONS);

}  // namespace payroll_totals_wide
