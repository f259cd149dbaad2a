// The run of the payer roster: the declaration of every company from the host's data module, the
// company sums the controller judges each beneficiary record with, and one line per company that
// keeps at least one record.
#include "rpt_payer_roster.h"

#include <cstdint>
#include <memory>
#include <vector>

#include "nrw/dirf.h"
#include "nrw/format.h"
#include "nrw/guards.h"
#include "nrw/module.h"
#include "nrw/siblings.h"
#include "payer_roster_sections.h"

namespace payer_roster {

using nrw::TnClientDataSet;
using nrw::Variant;

namespace {

constexpr const char* kClasseDM = "TPayrollWithholdingData";
constexpr const char* kSufixoDM = "Rel";
constexpr const char* kMascara = "#,##0.00";
constexpr int kMesDecimoTerceiro = 13;

TnClientDataSet& DataSetDoModulo(nrw::TnDMPowerParam& dm, const std::string& nome) {
  auto* dataset = dynamic_cast<TnClientDataSet*>(dm.FindComponent(nome));
  if (dataset == nullptr) {
    throw nrw::Exception(std::string("O módulo de dados ") + kClasseDM +
                         " não deixou o conjunto de dados " + nome + ".");
  }
  return *dataset;
}

//! The three datasets the data module leaves, with their maps.
struct TDeclaracao {
  explicit TDeclaracao(nrw::TnDMPowerParam& dm)
      : reg1(DataSetDoModulo(dm, "cdsDIRFReg1")),
        reg2(DataSetDoModulo(dm, "cdsDIRFReg2")),
        det(DataSetDoModulo(dm, "cdsDIRFReg2Det")),
        mapa_reg1(reg1.FieldMapper<TMapReg1>()),
        mapa_reg2(reg2.FieldMapper<TMapReg2>()),
        mapa_det(det.FieldMapper<TMapReg2Det>()) {}

  TnClientDataSet& reg1;
  TnClientDataSet& reg2;
  TnClientDataSet& det;
  const TMapReg1& mapa_reg1;
  const TMapReg2& mapa_reg2;
  const TMapReg2Det& mapa_det;
};

//! The company's sums of its first pass, which the controller judges every record with.
struct TSomasEmpresa {
  double rendimentos = 0;
  double retido = 0;
  double montante = 0;
};

//! Key of the current beneficiary record in the monthly detail.
std::vector<Variant> ChaveRegistro(const TMapReg2& reg2) {
  return {reg2.CodigoEmpresa->AsInteger(), reg2.AnoBase->AsDateTime(),
          reg2.TipoInscrBenef->AsInteger(), reg2.InscrFederalBenef->AsString(),
          reg2.CodigoRetencao->AsInteger()};
}

double Montante(const TMapReg2& reg2) {
  return reg2.Aposentadoria->AsFloat() + reg2.Diarias->AsFloat() + reg2.Invalidez->AsFloat() +
         reg2.Lucrodivid1996->AsFloat() + reg2.VlrPagoSocioPqEmp->AsFloat() +
         reg2.Indenizacao->AsFloat() + reg2.OutrosRendIsento->AsFloat() + reg2.Valor13->AsFloat() +
         reg2.ValorOutros->AsFloat() + reg2.JurosCapitalProprio->AsFloat();
}

//! The first pass over the company's records: its income, withheld tax (each with the record's
//! thirteenth-salary detail) and montante.
TSomasEmpresa SomarEmpresa(const TDeclaracao& d) {
  TSomasEmpresa somas;
  for (d.reg2.First(); !d.reg2.Eof(); d.reg2.Next()) {
    std::vector<Variant> chave = ChaveRegistro(d.mapa_reg2);
    const nrw::RangeGuard faixa_registro(d.det, chave);
    somas.montante += Montante(d.mapa_reg2);
    chave.emplace_back(kMesDecimoTerceiro);
    if (d.det.FindKey(chave)) {
      somas.rendimentos += d.mapa_det.ValorRendimento->AsFloat();
      somas.retido += d.mapa_det.ValorRetido->AsFloat();
    }
    somas.rendimentos += d.mapa_reg2.ValorRendimento->AsFloat();
    somas.retido += d.mapa_reg2.ValorRetido->AsFloat();
  }
  return somas;
}

//! The second pass: every detail month of the records the controller keeps goes into the totals.
void SomarRetencoes(const TDeclaracao& d, nrw::TnControleDIRF& controle, const TSomasEmpresa& somas,
                    TTotaisEmpresa& totais) {
  for (d.reg2.First(); !d.reg2.Eof(); d.reg2.Next()) {
    const nrw::RangeGuard faixa_registro(d.det, ChaveRegistro(d.mapa_reg2));
    if (controle.PularRegistro(static_cast<int>(d.mapa_reg2.CodigoEmpresa->AsInteger()),
                               static_cast<int>(d.mapa_reg2.TipoInscrBenef->AsInteger()),
                               d.mapa_reg2.InscrFederalBenef->AsString(), somas.rendimentos,
                               somas.retido, somas.montante)) {
      continue;
    }
    totais.listada = true;
    // Tax withheld counts as IRRF only on months without contributions withheld.
    for (d.det.First(); !d.det.Eof(); d.det.Next()) {
      const double pis_mes = d.mapa_det.PIS->AsFloat();
      const double cofins_mes = d.mapa_det.COFINS->AsFloat();
      const double csll_mes = d.mapa_det.CSLL->AsFloat();
      totais.pis += pis_mes;
      totais.cofins += cofins_mes;
      totais.csll += csll_mes;
      if (!(pis_mes + cofins_mes + csll_mes > 0)) totais.irrf += d.mapa_det.ValorRetido->AsFloat();
    }
  }
}

//! The company of the current declarant row, judged record by record with its sums.
TTotaisEmpresa TotalizarEmpresa(const TDeclaracao& d, nrw::TnControleDIRF& controle) {
  TTotaisEmpresa totais;
  const nrw::RangeGuard faixa_empresa(
      d.reg2, {Variant(d.mapa_reg1.CodigoEmpresa->AsInteger()), d.mapa_reg1.AnoBase->AsDateTime()});
  SomarRetencoes(d, controle, SomarEmpresa(d), totais);
  return totais;
}

}  // namespace

std::string TRptPayerRoster::Versao() { return "[versao: 1.0.0.0]"; }

void TRptPayerRoster::ImprimirInterno() {
  nrw::TnpqPowerParam& panel = Report().GetParams();
  const nrw::TDateTime ano_base = nrw::StrToDateDef(panel.GetValues("pAnoBase"), nrw::TDateTime());
  const auto controle = std::make_unique<nrw::TnControleDIRF>("", 0, ano_base);
  // From here on the data module is freed first, then the controller, on every path.
  nrw::TObject* criado = nrw::CriarDM(kClasseDM, 0, kSufixoDM);
  const nrw::ScopeExit liberar_dm([] { nrw::DestruirDM(kClasseDM, kSufixoDM); });
  nrw::TnDMPowerParam& dm = nrw::AsClass<nrw::TnDMPowerParam>(criado);
  DefinirOpcoes(*controle);
  GerarDeclaracao(dm);

  const TDeclaracao declaracao(dm);
  int contador = 0;
  const int total = declaracao.reg1.RecordCount();
  declaracao.reg2.SetIndexFieldNames(
      "CodigoEmpresa;AnoBase;TipoInscrBenef;InscrFederalBenef;CodigoRetencao");
  declaracao.det.SetIndexFieldNames(
      "CodigoEmpresa;AnoBase;TipoInscrBenef;InscrFederalBenef;CodigoRetencao;Mes");
  for (declaracao.reg1.First(); !declaracao.reg1.Eof(); declaracao.reg1.Next()) {
    const TTotaisEmpresa totais = TotalizarEmpresa(declaracao, *controle);
    if (totais.listada) ImprimirEmpresa(declaracao.mapa_reg1, totais);
    // Every company advances the progress, listed or not.
    ++contador;
    RepShowProgress(contador, total);
  }
}

void TRptPayerRoster::DefinirOpcoes(nrw::TnControleDIRF& controle) {
  nrw::TnpqPowerParam& panel = Report().GetParams();
  const auto opcao = [&panel](const char* nome) {
    return static_cast<uint16_t>(panel.Param(nome).GetAsInteger());
  };
  controle.OpIrrfDiretor = opcao("pOpIrrfDiretor");
  controle.OpIrrfFunc = opcao("pOpIrrfFunc");
  controle.OpIrrfTerc = opcao("pOpIrrfTerc");
  controle.OpIrrfOutEmp = opcao("pOpIrrfOutEmp");
}

void TRptPayerRoster::GerarDeclaracao(nrw::TnDMPowerParam& dm) {
  // Every company, and nothing stored.
  nrw::TnpqPowerParam& panel = Report().GetParams();
  for (const char* nome : {"pAnoBase", "pGerar", "pGerarIRRF", "pGerarConflito"}) {
    dm.Param(nome).SetAsString(panel.GetValues(nome));
  }
  dm.Param("pCodigoGrupoProc").SetAsString("");
  dm.Param("pCodigoEmpresa").SetAsString("1..99999");
  dm.Param("pGravarBD").SetAsString("0");
  dm.Executar();
}

void TRptPayerRoster::ImprimirEmpresa(const TMapReg1& reg1, const TTotaisEmpresa& totais) {
  RepParam("R1", nrw::IntToStr(reg1.CodigoEmpresa->AsInteger()));
  RepParam("R2", reg1.NomeEstab->AsString());
  RepParam("R3", nrw::FormatFloat(kMascara, totais.irrf));
  RepParam("R4", nrw::FormatFloat(kMascara, totais.pis));
  RepParam("R5", nrw::FormatFloat(kMascara, totais.cofins));
  RepParam("R6", nrw::FormatFloat(kMascara, totais.csll));
  RepParam("R7",
           nrw::FormatFloat(kMascara, totais.irrf + totais.pis + totais.cofins + totais.csll));
  RepPrintSection(kSecaoEmpresa);
}

}  // namespace payer_roster

using payer_roster::TRptPayerRoster;
NRW_REPORT_CLASS(TRptPayerRoster)
