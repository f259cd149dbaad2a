// A contract's payroll of one year: salary by days worked, overtime and vacation, social security,
// withholding tax with dependents, alimony and private pension, the exempt amounts of its cases,
// the thirteenth salary and profit sharing.
#include "demo/demo_data_internal.h"

namespace nrw::demo {
namespace {

constexpr Centavos kBolsaMedicoResidente = Reais(4106, 9);

void IsentosDoMes(const Contrato& contrato, Centavos salario, int ano, int mes,
                  Aleatorio& aleatorio, MesFolha& folha) {
  const Casos casos = contrato.casos;
  if (casos.Tem(Caso::kDiarias) && (mes == 3 || mes == 5 || mes == 9 || mes == 11)) {
    folha.diarias = Reais(aleatorio.Entre(40, 120) * 10);
  }
  if (casos.Tem(Caso::kMedicoResidente)) folha.medico_residente = kBolsaMedicoResidente;
  if (casos.Tem(Caso::kVoluntarioCopa) && mes == 6) folha.voluntario_copa = Reais(1200);
  if (casos.Tem(Caso::kAposentado65)) folha.aposent65 = LimiteIsencaoMensal(ano, mes);
  if (contrato.demissao && contrato.demissao->ano == ano && contrato.demissao->mes == mes) {
    folha.indenizacao = salario;
  }
}

}  // namespace

FolhaAnual CalcularFolha(const Contrato& contrato, int ano, int ano_principal, uint64_t semente) {
  FolhaAnual folha;
  Aleatorio aleatorio(Misturar(semente, static_cast<uint64_t>(contrato.empresa),
                               static_cast<uint64_t>(contrato.codigo), static_cast<uint64_t>(ano)));
  const Centavos salario = contrato.SalarioNoAno(ano, ano_principal);
  const Centavos dependentes = kDeducaoDependente * contrato.dependentes;
  const bool pensao = contrato.casos.Tem(Caso::kPensao);
  int avos = 0;
  for (int mes = 1; mes <= 12; ++mes) {
    // Drawn for every month, so that a month's values do not depend on the months before it.
    const bool horas_extras = aleatorio.Chance(25);
    const int64_t horas_extras_bp = aleatorio.Entre(300, 1500);
    const int dias = contrato.DiasTrabalhados(ano, mes);
    if (dias == 0) continue;
    if (dias >= 15) ++avos;
    MesFolha& m = folha.meses[mes];
    m.bruto = Proporcao(salario, dias, 30);
    if (contrato.diretor) {
      m.inss = InssContribuinteIndividual(m.bruto, ano, mes);
    } else {
      if (horas_extras) m.bruto += Percentual(salario, horas_extras_bp);
      if (mes == contrato.mes_ferias) {
        m.bruto += Proporcao(salario, 1, 3);
        // Ten days sold with their third: exempt.
        if (contrato.casos.Tem(Caso::kAbono)) m.abono = Proporcao(salario, 4, 9);
      }
      m.inss = InssEmpregado(m.bruto, ano, mes);
    }
    m.dependentes = dependentes;
    if (pensao) m.pensao = Percentual(m.bruto - m.inss, 2000);
    if (contrato.casos.Tem(Caso::kPrevPrivada)) m.prev_privada = Percentual(salario, 500);
    const Retencao retencao =
        IrrfMensal(m.bruto, {m.inss, dependentes, m.pensao, m.prev_privada}, ano, mes);
    m.irrf = retencao.imposto;
    m.desconto_simplificado = retencao.desconto_simplificado;
    IsentosDoMes(contrato, salario, ano, mes, aleatorio, m);
  }

  // Directors and partners draw no thirteenth salary.
  if (!contrato.diretor && avos > 0) {
    MesFolha& m = folha.meses[13];
    m.bruto = Proporcao(salario, avos, 12);
    m.inss = InssEmpregado(m.bruto, ano, 12);
    m.dependentes = dependentes;
    if (pensao) m.pensao = Percentual(m.bruto - m.inss, 2000);
    m.irrf = IrrfMensal(m.bruto, {m.inss, dependentes, m.pensao, 0}, ano, 12, false).imposto;
    if (contrato.casos.Tem(Caso::kAposentado65)) m.aposent65 = LimiteIsencaoMensal(ano, 12);
    if (contrato.casos.Tem(Caso::kIsentoSo13)) m.diarias = Reais(640);
  }

  if (ano == ano_principal && contrato.casos.Tem(Caso::kPlr)) {
    folha.mes_plr = 3;
    folha.plr = Proporcao(salario, 3, 2);
  } else if (ano == ano_principal && contrato.casos.Tem(Caso::kSoPlr)) {
    folha.mes_plr = 2;
    folha.plr = Reais(9000);
  }
  if (folha.plr > 0) folha.irrf_plr = IrrfPlr(folha.plr, ano, folha.mes_plr);
  return folha;
}

}  // namespace nrw::demo
