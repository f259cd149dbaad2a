// Sections of the withholding review layout that the module prints, named for what they print.
#pragma once

#include "common/sections.h"

namespace withholding_review {

#define WITHHOLDING_REVIEW_SECTIONS(X)                                                           \
  X(kSecaoEmpresa, 8)             /* the company heading */                                      \
  X(kSecaoBeneficiario, 9)        /* the beneficiary heading */                                  \
  X(kSecaoMesTributavel, 10)      /* a taxable-income month line, the thirteenth salary too */   \
  X(kSecaoTotalTributavel, 11)    /* the taxable-income totals */                                \
  X(kSecaoTitulosTributavel, 12)  /* the taxable-income column captions */                       \
  X(kSecaoTituloBloco, 13)        /* a block title */                                            \
  X(kSecaoFechamento, 14)         /* the closing line after captions and blocks, when it fits */ \
  X(kSecaoMesIsento, 15)          /* an exempt-income month line, the thirteenth salary too */   \
  X(kSecaoTitulosTotalIsento, 16) /* the exempt-income captions, and its total line */           \
  X(kSecaoAntesTitulo, 17)        /* the line before a block title, when it fits */              \
  X(kSecaoMesRRA, 18)             /* a month line of income received cumulatively */             \
  X(kSecaoTitulosTotalRRA, 19)    /* the RRA captions, and its total line */                     \
  X(kSecaoTitulosProcesso, 20)    /* the lawsuit captions */                                     \
  X(kSecaoProcesso, 21)           /* the lawsuit data */

NRW_SECTIONS(WITHHOLDING_REVIEW_SECTIONS);

}  // namespace withholding_review
