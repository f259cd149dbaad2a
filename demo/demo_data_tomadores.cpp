// Service takers: company 4's drivers serve a road-works site, registered by CEI, in February and
// March; company 1 lends a maintenance technician to a client's plant in August. The payroll of
// those months is reported under the takers' registrations, which are no establishment of any
// company. The calculations are found by competence, so the takers follow the payroll as it is.
#include "demo/demo_data_tomadores.h"

#include <fmt/format.h>

#include <string>

#include "demo/demo_data_internal.h"

namespace nrw::demo {
namespace {

constexpr uint64_t kFluxoTomadores = 40;
constexpr int kCnpj = 2;
constexpr int kCei = 3;

// CEI: eleven digits and a check digit (weights 74185216374; tens plus units of the sum).
std::string NovoCEI(Aleatorio& aleatorio) {
  std::string d;
  for (int i = 0; i < 11; ++i) d += static_cast<char>('0' + aleatorio.Entre(i == 0 ? 1 : 0, 9));
  constexpr int kPesos[] = {7, 4, 1, 8, 5, 2, 1, 6, 3, 7, 4};
  int soma = 0;
  for (int i = 0; i < 11; ++i) soma += (d[static_cast<size_t>(i)] - '0') * kPesos[i];
  const int dezenas_e_unidades = soma % 100 / 10 + soma % 10;
  d += static_cast<char>('0' + (10 - dezenas_e_unidades % 10) % 10);
  return fmt::format("{}.{}.{}/{}", d.substr(0, 2), d.substr(2, 3), d.substr(5, 5), d.substr(10));
}

struct Tomador {
  int empresa;
  int codigo;
  const char* nome;
  int tipo_inscr;
  std::string inscr;
};

// Contracts de..ate of the company serve the taker in a month of the main year.
struct Alocacao {
  int empresa;
  int tomador;
  int mes;
  int de;
  int ate;
};

}  // namespace

void GerarTomadores(TnConnection& connection, int ano, uint64_t semente) {
  Aleatorio aleatorio(Misturar(semente, kFluxoTomadores));
  Inscricoes inscricoes(Misturar(semente, kFluxoTomadores, 1));
  const Tomador tomadores[] = {
      {4, 1, "Obra Duplicação da BR-116 - Lote 3 (Construtora Planalto Ltda)", kCei,
       NovoCEI(aleatorio)},
      {1, 1, "Cooperativa Agroindustrial Vale Verde", kCnpj,
       FormatarCNPJ(inscricoes.NovaRaizCNPJ(), 1)},
  };
  constexpr Alocacao kAlocacoes[] = {{4, 1, 2, 1, 2}, {4, 1, 3, 1, 2}, {1, 1, 8, 7, 7}};

  auto tomador = connection.Prepare(
      "INSERT INTO TOMADOR (CODIGOEMPRESA, CODIGOTOMADOR, NOMETOMADOR, TIPOINSCR, INSCRFEDERAL) "
      "VALUES (:pEmpresa, :pTomador, :pNome, :pTipo, :pInscr)");
  for (const Tomador& t : tomadores) {
    tomador->Execute({t.empresa, t.codigo, t.nome, t.tipo_inscr, t.inscr});
  }
  // The monthly payroll (type 1) of the competence, for the contracts chosen.
  auto calculos = connection.Prepare(
      "INSERT INTO FUNCPERCALCULOTOMADOR (CODIGOEMPRESA, CODIGOPERCALCULO, CODIGOFUNCCONTR, "
      "CODIGOTOMADOR) SELECT FP.CODIGOEMPRESA, FP.CODIGOPERCALCULO, FP.CODIGOFUNCCONTR, :pTomador "
      "FROM FUNCPERCALCULO FP JOIN PERIODOCALCULO P ON P.CODIGOEMPRESA = FP.CODIGOEMPRESA AND "
      "P.CODIGOPERCALCULO = FP.CODIGOPERCALCULO WHERE FP.CODIGOEMPRESA = :pEmpresa AND "
      "P.CODIGOTIPOCALC = 1 AND P.COMPET = :pCompet AND FP.CODIGOFUNCCONTR BETWEEN :pDe AND "
      ":pAte");
  for (const Alocacao& a : kAlocacoes) {
    calculos->Execute({a.tomador, a.empresa, Dia{ano, a.mes, 1}.Texto(), a.de, a.ate});
  }
}

}  // namespace nrw::demo
