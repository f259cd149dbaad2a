// The run of the state guide: the record datasets taken from the host and emptied again, the loop
// over the establishments, the printing primitives every block shares and the amount format.
#include "rpt_state_guide_b.h"

#include <cstdint>
#include <limits>

#include "nrw/format.h"
#include "nrw/guards.h"
#include "nrw/handles.h"
#include "nrw/module.h"
#include "nrw/util.h"
#include "state_guide_b_sections.h"

namespace state_guide_b {

using nrw::TnClientDataSet;

const std::array<TRptStateGuideB::TDataSetParam, 12> TRptStateGuideB::kDataSets = {{
    {"pCDSTR001", &TRptStateGuideB::cdsTR001},
    {"pCDSTR002", &TRptStateGuideB::cdsTR002},
    {"pCDSTR003", &TRptStateGuideB::cdsTR003},
    {"pCDSTR004", &TRptStateGuideB::cdsTR004},
    {"pCDSTR910", &TRptStateGuideB::cdsTR910},
    {"pCDSTR920", &TRptStateGuideB::cdsTR920},
    {"pCDSTR941", &TRptStateGuideB::cdsTR941},
    {"pCDSTR950", &TRptStateGuideB::cdsTR950},
    {"pCDSTR960", &TRptStateGuideB::cdsTR960},
    {"pCDSTR990", &TRptStateGuideB::cdsTR990},
    {"pCDSTR942", &TRptStateGuideB::cdsTR942},
    {"pcdsTabCFOP", &TRptStateGuideB::cdsTabCFOP},
}};

TRptStateGuideB::TRptStateGuideB(nrw::TnrwReport& _ARep) : TnrwBaseDll(_ARep) {}

TRptStateGuideB::~TRptStateGuideB() = default;

std::string TRptStateGuideB::Versao() { return "[versao: 1.0.0.0]"; }

void TRptStateGuideB::DoParamChange(nrw::TObject*, nrw::TnpqParamItem&) {}
void TRptStateGuideB::DoParamEnter(nrw::TObject*, nrw::TnpqParamItem&) {}
void TRptStateGuideB::DoParamExit(nrw::TObject*, nrw::TnpqParamItem&) {}

void TRptStateGuideB::CarregarCDS() {
  for (const TDataSetParam& item : kDataSets) {
    const std::string texto = RepParam(item.Param);
    int64_t valor = 0;
    if (!nrw::TryStrToInt(texto, valor) || valor < std::numeric_limits<int32_t>::min() ||
        valor > std::numeric_limits<int32_t>::max()) {
      valor = 0;
    }
    TnClientDataSet* dataset = nullptr;
    if (valor != 0) {
      // A handle the host did not register, or one of another kind of object, would be a wild
      // reference: it is refused by name instead of being used.
      dataset = dynamic_cast<TnClientDataSet*>(nrw::ResolveHandle(static_cast<int32_t>(valor)));
      if (dataset == nullptr) {
        throw nrw::Exception("Parâmetro " + std::string(item.Param) + ": '" + nrw::Trim(texto) +
                             "' não identifica um conjunto de dados entregue pelo host.");
      }
    }
    this->*item.Field = dataset;
  }
}

void TRptStateGuideB::LimparCDS() {
  if (cdsTR001 == nullptr) return;
  // Every dataset is tried, so that one that cannot be emptied does not keep the others' records.
  std::string falha;
  for (const TDataSetParam& item : kDataSets) {
    TnClientDataSet* dataset = this->*item.Field;
    if (dataset == nullptr) continue;
    try {
      dataset->EmptyDataSet();
    } catch (const std::exception& erro) {
      if (falha.empty()) {
        falha = "Não foi possível esvaziar o conjunto de dados de " + std::string(item.Param) +
                ": " + erro.what();
      }
    }
  }
  if (!falha.empty()) throw nrw::Exception(falha);
}

void TRptStateGuideB::ImprimirInterno() {
  // Runs on every path: after an error the host still gets its datasets back empty, and then the
  // error itself, which wins over one of the emptying.
  const nrw::ScopeExit limpar([this] { LimparCDS(); });
  CarregarCDS();
  if (cdsTR001 != nullptr) ImprimirGuias();
}

void TRptStateGuideB::ImprimirGuias() {
  TnClientDataSet& tr001 = *cdsTR001;
  tr001.First();
  while (!tr001.Eof()) {
    ImprimirGuia();
    // Every guide ends its page.
    tr001.Next();
    if (!Report().CSLIsPageEnd()) Report().SetCSLIsPageEnd(true);
  }
}

void TRptStateGuideB::ImprimirGuia() {
  TnClientDataSet& tr001 = *cdsTR001;
  nrw::TnpqPowerParam& panel = Report().GetParams();
  // The heading shows the company's name where other reports show its code.
  panel.Param("pCodigoEmpresa").SetValue(tr001.FieldByName("Q01_RazaoSocial").AsString());
  panel.Param("pCNPJ").SetValue(nrw::FormatarInscrFederal(
      nrw::ValueToEnum<nrw::TnTipoInscrFederal>(1), tr001.FieldByName("Q01_CNPJ").AsString()));
  ImprimirAbertura();
  GerarTR002();
  GerarTR003();
  GerarTR004();
  GerarTR910();
  GerarTR920();
  GerarTR941();
  GerarTR942();
  GerarTR950();
  GerarTR960();
  GerarTR990();
}

void TRptStateGuideB::Preencher(const char* _AName, const std::string& _AValue) {
  Report().GetParams().Param(_AName).SetValue(_AValue);
}

void TRptStateGuideB::ImprimirLinha() { RepPrintSection(kSecaoLinha); }

void TRptStateGuideB::ImprimeTitulo(const std::string& _AString) {
  Preencher("pTexto", _AString);
  RepPrintSection(kSecaoTitulo);
}

void TRptStateGuideB::ImprimeD3(const std::string& _AR1, const std::string& _AR2,
                                const std::string& _AR3) {
  Preencher("R1", _AR1);
  Preencher("R2", _AR2);
  Preencher("R3", _AR3);
  RepPrintSection(kSecaoTresColunas);
}

void TRptStateGuideB::ImprimeD4(const std::string& _AR4, const std::string& _AR5) {
  Preencher("R4", _AR4);
  Preencher("R5", _AR5);
  RepPrintSection(kSecaoRotuloValor);
}

void TRptStateGuideB::ImprimeD5(const std::string& _AR06, const std::string& _AR07,
                                const std::string& _AR08, const std::string& _AR09,
                                const std::string& _AR10, const std::string& _AR011,
                                const std::string& _AR012) {
  Preencher("R6", _AR06);
  Preencher("R7", _AR07);
  Preencher("R8", _AR08);
  Preencher("R9", _AR09);
  Preencher("R10", _AR10);
  Preencher("R11", _AR011);
  Preencher("R12", _AR012);
  RepPrintSection(kSecaoTabela);
}

void TRptStateGuideB::ImprimeSubTitulo(const std::string& _AString) {
  Preencher("R13", _AString);
  Preencher("R14", "");
  RepPrintSection(kSecaoSubtitulo);
  RepPrintSection(kSecaoAposSubtitulo);
}

std::string TRptStateGuideB::FormataValor(double _AValor) {
  return nrw::FormatFloat("###,###,##0.00", _AValor / 100);
}

double TRptStateGuideB::SomaDeControle(double _AEmpregados, double _AValorFolha, double _AKwh) {
  // Line 1 is a whole count printed as it is; in the control sum it counts as that many reais, so
  // that the total is the sum of the three figures the reader sees.
  return nrw::RoundValor(_AEmpregados, 0) * 100 + _AValorFolha + _AKwh;
}

}  // namespace state_guide_b

using state_guide_b::TRptStateGuideB;
NRW_REPORT_CLASS(TRptStateGuideB)
