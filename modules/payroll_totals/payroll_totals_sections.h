// Sections of the payroll totals layout that the module prints, named for what they print.
#pragma once

#include "common/sections.h"

namespace payroll_totals {

#define PAYROLL_TOTALS_SECTIONS(X)                                             \
  X(kSecaoCabecalho, 1) /* the page heading, which the column titles follow */ \
  X(kSecaoTitulos, 8)   /* the column titles */                                \
  X(kSecaoLinha, 9)     /* one registration number */

NRW_SECTIONS(PAYROLL_TOTALS_SECTIONS);

}  // namespace payroll_totals
