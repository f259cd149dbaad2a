// The descriptions of the retention codes.
#include <map>

#include "rpt_income_statement.h"

namespace income_statement {

std::string DescricaoCodigoRetencao(int64_t code) {
  static const std::map<int64_t, const char*> kDescricoes = {
      {561, "0561 – Rendimentos do Trabalho Assalariado"},
      {588, "0588 – Rendimentos do Trabalho Sem Vínculo Empregatício"},
      {916, "0916 – Prêmios Obtidos em Concursos e Sorteios"},
      {924, "0924 – FICART e Demais Rendimentos do Capital (Dau-Trade)"},
      {1708, "1708 – Remuneração de Serviços Profissionais Prestados por Pessoa Jurídica"},
      {3208, "3208 – Aluguéis e Royalties"},
      {3223, "3223 – Resgate de Previdência Privada e FAPI – Beneficiário Pessoa Física"},
      {3280,
       "3280 – Remuneração de Serviços Pessoais Prestados por Associados de Cooperativas de "
       "Trabalho"},
      {3426,
       "3426 – Rendimento de Capital, Aplicações Financeiras de Renda Fixa, Exceto Fundos de "
       "Investimento – PJ"},
      {3562, "3562 – Participação nos Lucros ou Resultados (PLR)"},
      {3770, "3770 – Contribuição PIS/PASEP (IN SRF 594/2005)"},
      {5557, "5557 – Ganhos Líquidos em Operações de Bolsas e Assemelhados"},
      {5565, "5565 – Plano de Previdência Complementar – Tributação Exclusiva"},
      {5706, "5706 – Juros Sobre o Capital Próprio"},
      {5936, "5936 – Rendimentos Decorrentes da Decisão na Justiça do Trabalho"},
      {5944, "5944 – Pagamento de Pessoa Jurídica a Pessoa Jurídica por Serviços de Factoring"},
      {5952,
       "5952 – Retenção de Contribuições Sobre Pagamentos de PJ a PJ de Direito Privado – CSLL, "
       "COFINS e PIS/PASEP"},
      {5960,
       "5960 – COFINS – Retenção Sobre Pagamentos de Pessoa Jurídica a Pessoa Jurídica de "
       "Direito Privado"},
      {5979,
       "5979 – PIS/PASEP – Retenção Sobre Pagamentos de Pessoa Jurídica a Pessoa Jurídica de "
       "Direito Privado"},
      {5987,
       "5987 – CSLL – Retenção Sobre Pagamentos de Pessoa Jurídica a Pessoa Jurídica de Direito "
       "Privado"},
      {6891, "6891 – Cobertura por Sobrevivência em Seguro de Vida (VGBL)"},
      {8053, "8053 – Aplicações Financeiras de Renda Fixa, Exceto Fundos de Investimentos-PF"},
      {8468, "8468 – Operações de Day Trade"},
      {8673, "8673 – Prêmios em Sorteios dos Jogos de Bingo"},
      {9385, "9385 – Multas e Vantagens"},
  };
  const auto found = kDescricoes.find(code);
  return found == kDescricoes.end() ? "Rendimentos do Trabalho Assalariado" : found->second;
}

}  // namespace income_statement
