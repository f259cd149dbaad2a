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

}  // namespace

std::string TRptPayerRoster::Versao() { return "[versao: 1.0.0.0]"; }

void TRptPayerRoster::ImprimirInterno() {
  nrw::TnpqPowerParam& panel = Report().GetParams();

  // 1.
  const nrw::TDateTime ano_base = nrw::StrToDateDef(panel.GetValues("pAnoBase"), nrw::TDateTime());
  // 2.
  const auto controle = std::make_unique<nrw::TnControleDIRF>("", 0, ano_base);
  // 3. From here on the data module is freed first, then the controller, on every path.
  nrw::TObject* criado = nrw::CriarDM(kClasseDM, 0, kSufixoDM);
  const nrw::ScopeExit liberar_dm([] { nrw::DestruirDM(kClasseDM, kSufixoDM); });
  nrw::TnDMPowerParam& dm = nrw::AsClass<nrw::TnDMPowerParam>(criado);

  // 4.
  const auto opcao = [&panel](const char* nome) {
    return static_cast<uint16_t>(panel.Param(nome).GetAsInteger());
  };
  controle->OpIrrfDiretor = opcao("pOpIrrfDiretor");
  controle->OpIrrfFunc = opcao("pOpIrrfFunc");
  controle->OpIrrfTerc = opcao("pOpIrrfTerc");
  controle->OpIrrfOutEmp = opcao("pOpIrrfOutEmp");

  // 5. Every company, and nothing stored.
  for (const char* nome : {"pAnoBase", "pGerar", "pGerarIRRF", "pGerarConflito"}) {
    dm.Param(nome).SetAsString(panel.GetValues(nome));
  }
  dm.Param("pCodigoGrupoProc").SetAsString("");
  dm.Param("pCodigoEmpresa").SetAsString("1..99999");
  dm.Param("pGravarBD").SetAsString("0");
  dm.Executar();

  // 6.
  TnClientDataSet& reg1 = DataSetDoModulo(dm, "cdsDIRFReg1");
  TnClientDataSet& reg2 = DataSetDoModulo(dm, "cdsDIRFReg2");
  TnClientDataSet& det = DataSetDoModulo(dm, "cdsDIRFReg2Det");
  const TMapReg1& mapa_reg1 = reg1.FieldMapper<TMapReg1>();
  const TMapReg2& mapa_reg2 = reg2.FieldMapper<TMapReg2>();
  const TMapReg2Det& mapa_det = det.FieldMapper<TMapReg2Det>();
  int contador = 0;
  const int total = reg1.RecordCount();
  reg2.SetIndexFieldNames("CodigoEmpresa;AnoBase;TipoInscrBenef;InscrFederalBenef;CodigoRetencao");
  det.SetIndexFieldNames(
      "CodigoEmpresa;AnoBase;TipoInscrBenef;InscrFederalBenef;CodigoRetencao;Mes");

  // 7.
  for (reg1.First(); !reg1.Eof(); reg1.Next()) {
    // 7.1
    bool listada = false;
    double irrf = 0, pis = 0, cofins = 0, csll = 0;

    // 7.2
    const int64_t empresa = mapa_reg1.CodigoEmpresa->AsInteger();
    const nrw::RangeGuard faixa_empresa(reg2, {Variant(empresa), mapa_reg1.AnoBase->AsDateTime()});
    double rendimentos = 0, retido = 0, montante = 0;

    // 7.3 The company's sums, which the controller judges every record with.
    for (reg2.First(); !reg2.Eof(); reg2.Next()) {
      std::vector<Variant> chave = ChaveRegistro(mapa_reg2);
      const nrw::RangeGuard faixa_registro(det, chave);
      montante += Montante(mapa_reg2);
      chave.emplace_back(kMesDecimoTerceiro);
      if (det.FindKey(chave)) {
        rendimentos += mapa_det.ValorRendimento->AsFloat();
        retido += mapa_det.ValorRetido->AsFloat();
      }
      rendimentos += mapa_reg2.ValorRendimento->AsFloat();
      retido += mapa_reg2.ValorRetido->AsFloat();
    }

    // 7.4
    for (reg2.First(); !reg2.Eof(); reg2.Next()) {
      const nrw::RangeGuard faixa_registro(det, ChaveRegistro(mapa_reg2));
      if (controle->PularRegistro(static_cast<int>(mapa_reg2.CodigoEmpresa->AsInteger()),
                                  static_cast<int>(mapa_reg2.TipoInscrBenef->AsInteger()),
                                  mapa_reg2.InscrFederalBenef->AsString(), rendimentos, retido,
                                  montante)) {
        continue;
      }
      listada = true;
      // Tax withheld counts as IRRF only on months without contributions withheld.
      for (det.First(); !det.Eof(); det.Next()) {
        const double pis_mes = mapa_det.PIS->AsFloat();
        const double cofins_mes = mapa_det.COFINS->AsFloat();
        const double csll_mes = mapa_det.CSLL->AsFloat();
        pis += pis_mes;
        cofins += cofins_mes;
        csll += csll_mes;
        if (!(pis_mes + cofins_mes + csll_mes > 0)) irrf += mapa_det.ValorRetido->AsFloat();
      }
    }

    // 7.5
    if (listada) {
      RepParam("R1", nrw::IntToStr(empresa));
      RepParam("R2", mapa_reg1.NomeEstab->AsString());
      RepParam("R3", nrw::FormatFloat(kMascara, irrf));
      RepParam("R4", nrw::FormatFloat(kMascara, pis));
      RepParam("R5", nrw::FormatFloat(kMascara, cofins));
      RepParam("R6", nrw::FormatFloat(kMascara, csll));
      RepParam("R7", nrw::FormatFloat(kMascara, irrf + pis + cofins + csll));
      RepPrintSection(8);
    }

    // 7.6 Every company advances the progress, listed or not.
    ++contador;
    RepShowProgress(contador, total);
  }
  // 8. The guards free the data module, then the controller.
}

}  // namespace payer_roster

using payer_roster::TRptPayerRoster;
NRW_REPORT_CLASS(TRptPayerRoster)
