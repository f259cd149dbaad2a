// Federal withholding and social-security tables of 2022 to 2025, by the month they came into
// force. Competences outside that span use the nearest table.
#include <limits>

#include "demo/demo_data_internal.h"

namespace nrw::demo {
namespace {

constexpr Centavos kSemLimite = std::numeric_limits<Centavos>::max() / 20000;

struct Vigencia {
  int ano;
  int mes;
  bool AntesOuEm(int outro_ano, int outro_mes) const {
    return ano < outro_ano || (ano == outro_ano && mes <= outro_mes);
  }
};

template <class Tabela, size_t N>
const Tabela& EmVigor(const std::array<Tabela, N>& tabelas, int ano, int mes) {
  const Tabela* vigente = &tabelas[0];
  for (const Tabela& tabela : tabelas) {
    if (tabela.desde.AntesOuEm(ano, mes)) vigente = &tabela;
  }
  return *vigente;
}

// Employee brackets: 7.5%, 9%, 12% and 14% of the part of the salary inside each one.
struct TabelaInss {
  Vigencia desde;
  std::array<Centavos, 4> limites;
};
constexpr std::array<int, 4> kAliquotasInss = {750, 900, 1200, 1400};
constexpr std::array<TabelaInss, 5> kInss = {{
    {{2022, 1}, {Reais(1212), Reais(2427, 35), Reais(3641, 3), Reais(7087, 22)}},
    {{2023, 1}, {Reais(1302), Reais(2571, 29), Reais(3856, 94), Reais(7507, 49)}},
    {{2023, 5}, {Reais(1320), Reais(2571, 29), Reais(3856, 94), Reais(7507, 49)}},
    {{2024, 1}, {Reais(1412), Reais(2666, 68), Reais(4000, 3), Reais(7786, 2)}},
    {{2025, 1}, {Reais(1518), Reais(2793, 88), Reais(4190, 83), Reais(8157, 41)}},
}};

struct Faixa {
  Centavos limite;
  int aliquota;  // basis points
  Centavos deducao;
};
struct TabelaIrrf {
  Vigencia desde;
  std::array<Faixa, 5> faixas;
  Centavos simplificado;
};
constexpr std::array<TabelaIrrf, 4> kIrrf = {{
    {{2015, 4},
     {{{Reais(1903, 98), 0, 0},
       {Reais(2826, 65), 750, Reais(142, 80)},
       {Reais(3751, 5), 1500, Reais(354, 80)},
       {Reais(4664, 68), 2250, Reais(636, 13)},
       {kSemLimite, 2750, Reais(869, 36)}}},
     0},
    {{2023, 5},
     {{{Reais(2112), 0, 0},
       {Reais(2826, 65), 750, Reais(158, 40)},
       {Reais(3751, 5), 1500, Reais(370, 40)},
       {Reais(4664, 68), 2250, Reais(651, 73)},
       {kSemLimite, 2750, Reais(884, 96)}}},
     Reais(528)},
    {{2024, 2},
     {{{Reais(2259, 20), 0, 0},
       {Reais(2826, 65), 750, Reais(169, 44)},
       {Reais(3751, 5), 1500, Reais(381, 44)},
       {Reais(4664, 68), 2250, Reais(662, 77)},
       {kSemLimite, 2750, Reais(896)}}},
     Reais(564, 80)},
    {{2025, 5},
     {{{Reais(2428, 80), 0, 0},
       {Reais(2826, 65), 750, Reais(182, 16)},
       {Reais(3751, 5), 1500, Reais(394, 16)},
       {Reais(4664, 68), 2250, Reais(675, 49)},
       {kSemLimite, 2750, Reais(908, 73)}}},
     Reais(607, 20)},
}};

struct TabelaPlr {
  Vigencia desde;
  std::array<Faixa, 5> faixas;
};
constexpr std::array<TabelaPlr, 3> kPlr = {{
    {{2020, 1},
     {{{Reais(6677, 55), 0, 0},
       {Reais(9922, 28), 750, Reais(500, 82)},
       {Reais(13167), 1500, Reais(1244, 99)},
       {Reais(16380, 38), 2250, Reais(2232, 51)},
       {kSemLimite, 2750, Reais(3051, 53)}}}},
    {{2023, 5},
     {{{Reais(7407, 11), 0, 0},
       {Reais(9922, 28), 750, Reais(555, 53)},
       {Reais(13167), 1500, Reais(1299, 70)},
       {Reais(16380, 38), 2250, Reais(2287, 23)},
       {kSemLimite, 2750, Reais(3106, 25)}}}},
    {{2025, 5},
     {{{Reais(7640, 80), 0, 0},
       {Reais(9922, 28), 750, Reais(573, 6)},
       {Reais(13167), 1500, Reais(1317, 23)},
       {Reais(16380, 38), 2250, Reais(2304, 76)},
       {kSemLimite, 2750, Reais(3123, 78)}}}},
}};

// Rate times base less the bracket's deduction; limits and deductions scaled by the number of
// months (in tenths) for income received cumulatively, 10 for one month.
Centavos ImpostoPorFaixa(const std::array<Faixa, 5>& faixas, Centavos base, int meses_decimos) {
  if (base <= 0) return 0;
  for (const Faixa& faixa : faixas) {
    const Centavos limite =
        faixa.limite == kSemLimite ? kSemLimite : Proporcao(faixa.limite, meses_decimos, 10);
    if (base <= limite) {
      const Centavos imposto =
          Percentual(base, faixa.aliquota) - Proporcao(faixa.deducao, meses_decimos, 10);
      return imposto > 0 ? imposto : 0;
    }
  }
  return 0;
}

}  // namespace

Centavos InssEmpregado(Centavos base, int ano, int mes) {
  const TabelaInss& tabela = EmVigor(kInss, ano, mes);
  // Each bracket's share in hundredths of a basis point, rounded once at the end.
  int64_t soma = 0;
  Centavos anterior = 0;
  for (size_t i = 0; i < tabela.limites.size() && base > anterior; ++i) {
    const Centavos ate = base < tabela.limites[i] ? base : tabela.limites[i];
    soma += (ate - anterior) * kAliquotasInss[i];
    anterior = tabela.limites[i];
  }
  return (soma + 5000) / 10000;
}

Centavos InssContribuinteIndividual(Centavos base, int ano, int mes) {
  const Centavos teto = EmVigor(kInss, ano, mes).limites[3];
  return Percentual(base < teto ? base : teto, 1100);
}

Retencao IrrfMensal(Centavos bruto, const Deducoes& deducoes, int ano, int mes,
                    bool simplificado_permitido) {
  const TabelaIrrf& tabela = EmVigor(kIrrf, ano, mes);
  const Centavos legais =
      deducoes.inss + deducoes.dependentes + deducoes.pensao + deducoes.prev_privada;
  Retencao retencao;
  retencao.imposto = ImpostoPorFaixa(tabela.faixas, bruto - legais, 10);
  if (simplificado_permitido && tabela.simplificado > legais) {
    const Centavos simplificado = ImpostoPorFaixa(tabela.faixas, bruto - tabela.simplificado, 10);
    if (simplificado < retencao.imposto) {
      retencao.imposto = simplificado;
      retencao.desconto_simplificado = tabela.simplificado;
    }
  }
  return retencao;
}

Centavos IrrfPlr(Centavos valor, int ano, int mes) {
  return ImpostoPorFaixa(EmVigor(kPlr, ano, mes).faixas, valor, 10);
}

Centavos IrrfRra(Centavos base, int meses_decimos, int ano, int mes) {
  return ImpostoPorFaixa(EmVigor(kIrrf, ano, mes).faixas, base, meses_decimos);
}

Centavos LimiteIsencaoMensal(int ano, int mes) { return EmVigor(kIrrf, ano, mes).faixas[0].limite; }

}  // namespace nrw::demo
