// Sections of the income statement layout that the module prints, named for what they print.
#pragma once

#include "common/sections.h"

namespace income_statement {

#define INCOME_STATEMENT_SECTIONS(X)                                                             \
  X(kSecaoComprovante, 8)                /* the statement body, once per copy */                 \
  X(kSecaoRRA, 9)                        /* one line of income received cumulatively */          \
  X(kSecaoInformacoesComplementares, 10) /* the title of the complementary information */        \
  X(kSecaoIntervalo, 11)                 /* a gap after that title, and before the closing */    \
  X(kSecaoDetalhe, 12)                   /* a detail line: description and amount */             \
  X(kSecaoTexto, 13)                     /* a heading or text line */                            \
  X(kSecaoResponsavel, 14)               /* the closing: who answers for the information */      \
  X(kSecaoSemInformacoes, 15)            /* a copy that listed no complementary information */   \
  X(kSecaoTabela, 16)                    /* a table line */                                      \
  X(kSecaoAberturaTabela, 17)            /* the opening of a table block */                      \
  X(kSecaoSocioScp, 18)                  /* the sentence of a partner of a silent partnership */ \
  X(kSecaoCabecalhoPagina, 50)           /* the page heading, which the module only reacts to */

NRW_SECTIONS(INCOME_STATEMENT_SECTIONS);

}  // namespace income_statement
