// A few payroll calculations of the main year for the payroll-totals reports: monthly payrolls of
// January to March and August (a dismissal month) and the December thirteenth salary, with their
// events, social-security amounts and contribution guides. The figures are the same payroll the
// declaration is built from.
#include <map>

#include "demo/demo_data_internal.h"

namespace nrw::demo {
namespace {

constexpr int kFolhaMensal = 1;
constexpr int kDecimoTerceiro = 21;

constexpr int kEventoSalario = 1;
constexpr int kEventoDecimoTerceiro = 30;
constexpr int kEventoInss = 101;
constexpr int kEventoIrrf = 102;
constexpr int kEventoFgts = 801;
constexpr int kEventoMultaFgts = 807;
constexpr int kEventoRemuneracao = 990;

struct Guia {
  Centavos empresa = 0;
  Centavos terceiros = 0;
  Centavos salarios = 0;
};

int MesesDeContrato(const Contrato& contrato, const Dia& ate) {
  return (ate.ano - contrato.admissao.ano) * 12 + ate.mes - contrato.admissao.mes + 1;
}

}  // namespace

void Gerador::GerarCalculoFolha() {
  struct Periodo {
    int tipo;
    int mes;
  };
  constexpr Periodo kPeriodos[] = {{kFolhaMensal, 1},
                                   {kFolhaMensal, 2},
                                   {kFolhaMensal, 3},
                                   {kFolhaMensal, 8},
                                   {kDecimoTerceiro, 12}};
  std::map<std::pair<int, int>, FolhaAnual> folhas;  // (company, contract)
  for (const Contrato& contrato : contratos_) {
    folhas.emplace(std::pair{contrato.empresa, contrato.codigo}, Folha(contrato, ano_));
  }

  for (const Empresa& empresa : empresas_) {
    int codigo_periodo = 0;
    for (const Periodo& periodo : kPeriodos) {
      const Dia inicio{ano_, periodo.mes, 1};
      const Dia fim = UltimoDiaDoMes(ano_, periodo.mes);
      ++codigo_periodo;
      gravador_.Inserir("PERIODOCALCULO", {{"CODIGOEMPRESA", empresa.codigo},
                                           {"CODIGOPERCALCULO", codigo_periodo},
                                           {"CODIGOTIPOCALC", periodo.tipo},
                                           {"COMPET", inicio.Texto()},
                                           {"DATAINICIALFOLHA", inicio.Texto()},
                                           {"DATAFINALFOLHA", fim.Texto()}});
      std::map<int, Guia> guias;  // per establishment
      for (const Contrato& contrato : contratos_) {
        if (contrato.empresa != empresa.codigo) continue;
        const FolhaAnual& folha = folhas.at({contrato.empresa, contrato.codigo});
        const bool decimo = periodo.tipo == kDecimoTerceiro;
        const MesFolha& mes = folha.meses[decimo ? 13 : periodo.mes];
        if (mes.bruto == 0 || (!decimo && contrato.DiasTrabalhados(ano_, periodo.mes) == 0)) {
          continue;
        }
        Dia local = contrato.locais.front().desde;
        for (const Local& transferencia : contrato.locais) {
          if (transferencia.desde <= fim) local = transferencia.desde;
        }
        const int estab = contrato.EstabEm(fim);
        gravador_.Inserir("FUNCPERCALCULO", {{"CODIGOEMPRESA", empresa.codigo},
                                             {"CODIGOPERCALCULO", codigo_periodo},
                                             {"CODIGOFUNCCONTR", contrato.codigo},
                                             {"DATALOCAL", local.Texto()}});
        auto evento = [&](int codigo, Centavos valor) {
          if (valor == 0) return;
          gravador_.Inserir("CALCULOEVENTO", {{"CODIGOEMPRESA", empresa.codigo},
                                              {"CODIGOPERCALCULO", codigo_periodo},
                                              {"CODIGOFUNCCONTR", contrato.codigo},
                                              {"CODIGOEVENTO", codigo},
                                              {"VALOREVENTO", Valor(valor)}});
        };
        evento(decimo ? kEventoDecimoTerceiro : kEventoSalario, mes.bruto);
        evento(kEventoRemuneracao, mes.bruto);
        evento(kEventoInss, mes.inss);
        evento(kEventoIrrf, mes.irrf);
        // Directors and partners are not employees: no severance fund.
        if (!contrato.diretor) evento(kEventoFgts, Percentual(mes.bruto, 800));
        const bool demitido_no_mes = !decimo && contrato.demissao &&
                                     contrato.demissao->ano == ano_ &&
                                     contrato.demissao->mes == periodo.mes;
        if (demitido_no_mes) {
          // 40% of the deposits of the whole contract, 8% a month.
          evento(kEventoMultaFgts,
                 Percentual(contrato.salario * MesesDeContrato(contrato, *contrato.demissao), 320));
        }

        const Centavos parte_empresa = Percentual(mes.bruto, 2000);
        const Centavos sat = contrato.diretor ? 0 : Percentual(mes.bruto, 200);
        const Centavos terceiros = contrato.diretor ? 0 : Percentual(mes.bruto, 580);
        gravador_.Inserir("IMPOSTOCALCULO", {{"CODIGOEMPRESA", empresa.codigo},
                                             {"CODIGOPERCALCULO", codigo_periodo},
                                             {"CODIGOFUNCCONTR", contrato.codigo},
                                             {"CODIGOESTAB", estab},
                                             {"COMPROCESSO", "1"},
                                             {"VALORINSS", Valor(decimo ? 0 : mes.inss)},
                                             {"VALORINSS13", Valor(decimo ? mes.inss : 0)},
                                             {"INSSPARTEEMP", Valor(parte_empresa)},
                                             {"INSSPARTESAT", Valor(sat)},
                                             {"INSSPARTETERC", Valor(terceiros)},
                                             {"ACRESSAT", Valor(0)},
                                             {"ACRESFAP", Valor(0)},
                                             {"INSSENTFINANC", Valor(0)}});
        Guia& guia = guias[estab];
        guia.empresa += parte_empresa + sat + mes.inss;
        guia.terceiros += terceiros;
        if (!contrato.diretor) guia.salarios += mes.bruto;
      }
      for (const auto& [estab, guia] : guias) {
        gravador_.Inserir("DEBITOGPS", {{"CODIGOEMPRESA", empresa.codigo},
                                        {"CODIGOESTAB", estab},
                                        {"DATALCTOCTR", inicio.Texto()},
                                        {"TIPOGPS", periodo.tipo == kDecimoTerceiro ? 2 : 1},
                                        {"FORMADEBITO", 0},
                                        {"VALOREMPRESA", Valor(guia.empresa)},
                                        {"VALORTERCEIRO", Valor(guia.terceiros)},
                                        {"VALORSALCONTRIBTERC", Valor(guia.salarios)}});
      }
    }
  }
}

}  // namespace nrw::demo
