// Sections of the income statement roster layout that the module prints, named for what they print.
#pragma once

#include "common/sections.h"

namespace statement_roster {

#define STATEMENT_ROSTER_SECTIONS(X)                                                              \
  X(kSecaoCabecalhoPagina, 1)  /* the page heading, which its continuation follows */             \
  X(kSecaoInscricaoEmpresa, 8) /* the company's registration, in the heading of a company page */ \
  X(kSecaoTitulosIsentos, 9)   /* the captions of exempt income */                                \
  X(kSecaoLinha, 10)           /* one beneficiary */                                              \
  X(kSecaoLinhaIsentos, 11)    /* the beneficiary's exempt income */                              \
  X(kSecaoIntervalo, 12)       /* a gap */                                                        \
  X(kSecaoFimGrupo, 13)        /* the end of a group, after its total */                          \
  X(kSecaoEmpresaOuTotal, 14)  /* a company heading, or a group total */

NRW_SECTIONS(STATEMENT_ROSTER_SECTIONS);

}  // namespace statement_roster
