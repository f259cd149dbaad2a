// The payroll calculations of the main year for the payroll-totals reports: monthly payrolls of
// January to November (December has the thirteenth salary only, whose guide is posted on the same
// day as a December payroll would be) and the December thirteenth salary, with their events,
// social-security amounts and contribution guides. The figures are the same payroll the
// declaration is built from. Terminations carry the notice paid in lieu and its FGTS; the guides
// carry the self-employed providers paid in the month; the July guide of company 2's head office
// went into an instalment plan (FORMADEBITO 2), so that month's terminations outweigh its debit.
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
constexpr int kEventoAvisoIndenizado = 850;
constexpr int kEventoFgtsAviso = 802;
constexpr int kEventoRemuneracao = 990;

constexpr int kGuiaNormal = 0;
constexpr int kGuiaParcelada = 2;
constexpr int kCodigoRetencaoAutonomo = 588;

struct Guia {
  Centavos empresa = 0;
  Centavos terceiros = 0;
  //! Paid to self-employed providers in the month: the base of the company's 20% on them.
  Centavos autonomos = 0;
};

int MesesDeContrato(const Contrato& contrato, const Dia& ate) {
  return (ate.ano - contrato.admissao.ano) * 12 + ate.mes - contrato.admissao.mes + 1;
}

}  // namespace

Centavos Gerador::AutonomosDoMes(int empresa, int mes) const {
  Centavos total = 0;
  if (!EmpresaDe(empresa).beneficiarios_no_ano) return total;
  for (const Terceiro& terceiro : terceiros_) {
    if (terceiro.empresa != empresa || terceiro.so_ano_anterior) continue;
    if ((terceiro.meses >> (mes - 1) & 1) == 0) continue;
    for (const int codigo : terceiro.codigos_retencao) {
      if (codigo == kCodigoRetencaoAutonomo) total += terceiro.valor_mensal;
    }
  }
  return total;
}

void Gerador::GerarCalculoFolha() {
  struct Periodo {
    int tipo;
    int mes;
  };
  // The first five were the only ones once; the months added later come after them, so that the
  // earlier periods keep their codes.
  constexpr Periodo kPeriodos[] = {{kFolhaMensal, 1}, {kFolhaMensal, 2},     {kFolhaMensal, 3},
                                   {kFolhaMensal, 8}, {kDecimoTerceiro, 12}, {kFolhaMensal, 4},
                                   {kFolhaMensal, 5}, {kFolhaMensal, 6},     {kFolhaMensal, 7},
                                   {kFolhaMensal, 9}, {kFolhaMensal, 10},    {kFolhaMensal, 11}};
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
          // A month's notice paid in lieu, outside the month's remuneration total, and its FGTS.
          evento(kEventoAvisoIndenizado, contrato.salario);
          evento(kEventoFgtsAviso, Percentual(contrato.salario, 800));
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
      }
      if (periodo.tipo == kFolhaMensal) {
        // The providers are paid by the head office; the company adds 20% on what it paid them.
        Guia& matriz = guias[1];
        matriz.autonomos = AutonomosDoMes(empresa.codigo, periodo.mes);
        matriz.empresa += Percentual(matriz.autonomos, 2000);
      }
      for (const auto& [estab, guia] : guias) {
        const bool parcelada =
            empresa.codigo == 2 && estab == 1 && periodo.tipo == kFolhaMensal && periodo.mes == 7;
        gravador_.Inserir("DEBITOGPS", {{"CODIGOEMPRESA", empresa.codigo},
                                        {"CODIGOESTAB", estab},
                                        {"DATALCTOCTR", inicio.Texto()},
                                        {"TIPOGPS", periodo.tipo == kDecimoTerceiro ? 2 : 1},
                                        {"FORMADEBITO", parcelada ? kGuiaParcelada : kGuiaNormal},
                                        {"VALOREMPRESA", Valor(guia.empresa)},
                                        {"VALORTERCEIRO", Valor(guia.terceiros)},
                                        {"VALORSALCONTRIBTERC", Valor(guia.autonomos)}});
      }
    }
  }
}

}  // namespace nrw::demo
