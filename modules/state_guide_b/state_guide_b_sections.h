// Sections of the state guide model B layout that the module prints, named for what they print.
#pragma once

#include "common/sections.h"

namespace state_guide_b {

#define STATE_GUIDE_B_SECTIONS(X)                                \
  X(kSecaoLinha, 9)          /* a separator line */              \
  X(kSecaoTitulo, 10)        /* a title */                       \
  X(kSecaoTresColunas, 11)   /* a line of three columns */       \
  X(kSecaoRotuloValor, 12)   /* a label and its value */         \
  X(kSecaoTabela, 13)        /* a table line of seven columns */ \
  X(kSecaoSubtitulo, 14)     /* a subtitle */                    \
  X(kSecaoAposSubtitulo, 15) /* the line under a subtitle */

NRW_SECTIONS(STATE_GUIDE_B_SECTIONS);

}  // namespace state_guide_b
