// TRptStateGuideB: the state informative guide, model B, one guide per establishment, printed from
// record datasets that the host prepares and hands in through parameters carrying their handles.
// The datasets are the host's: the instance borrows them for one run (positions, filters them) and
// empties them when the run ends, whatever the path.
#pragma once

#include <array>
#include <string>

#include "nrw/dataset.h"
#include "nrw/report.h"

namespace state_guide_b {

//! Labels of the six stock lines of a block, and the prefix of its columns.
struct TEstoque {
  const char* Prefixo;
  std::array<const char*, 6> Rotulos;
};

class TRptStateGuideB : public nrw::TnrwBaseDll {
 public:
  explicit TRptStateGuideB(nrw::TnrwReport& _ARep);
  ~TRptStateGuideB() override;

  std::string Versao() override;
  void ImprimirInterno() override;
  void DoParamChange(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) override;
  void DoParamEnter(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) override;
  void DoParamExit(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) override;

  //! The amount in hundredths as reais, "###,###,##0.00" ("250" -> "2,50").
  static std::string FormataValor(double _AValor);
  //! Line 04 of block 04: the three lines as printed (a count of employees, two amounts), added in
  //! hundredths.
  static double SomaDeControle(double _AEmpregados, double _AValorFolha, double _AKwh);

 private:
  // Record datasets.
  void CarregarCDS();
  void LimparCDS();
  void ImprimirGuias();
  //! The guide of the current establishment: the opening block, then the annexes.
  void ImprimirGuia();

  // Printing primitives.
  void Preencher(const char* _AName, const std::string& _AValue);
  void ImprimirLinha();
  void ImprimeTitulo(const std::string& _AString);
  void ImprimeD3(const std::string& _AR1, const std::string& _AR2 = "",
                 const std::string& _AR3 = "");
  void ImprimeD4(const std::string& _AR4, const std::string& _AR5);
  void ImprimeD5(const std::string& _AR06, const std::string& _AR07 = "",
                 const std::string& _AR08 = "", const std::string& _AR09 = "",
                 const std::string& _AR10 = "", const std::string& _AR011 = "",
                 const std::string& _AR012 = "");
  void ImprimeSubTitulo(const std::string& _AString);

  // Opening block, in the order of its parts.
  void ImprimirAbertura();
  void ImprimirIdentificacao(nrw::TnClientDataSet& estab, const std::string& inscricao);
  void ImprimirPeriodo();
  void ImprimirInformacoesAdicionais();
  void ImprimirDadosEstabelecimento();
  void ImprimirEstoque(const TEstoque& _AEstoque, const char* _ASubTitulo);
  void ImprimirContabilista();
  //! A column of the current establishment record, as text or as a number.
  std::string Texto(const char* _ANome) const;
  double Valor(const std::string& _ANome) const;

  // Annexes.
  void GerarTR002() {}
  void GerarTR003() {}
  void GerarTR004() {}
  void GerarTR910();
  void GerarTR920();
  void GerarTR941();
  void GerarTR942();
  void GerarTR950();
  void GerarTR960();
  void GerarTR990();
  //! Whether the annex of this dataset prints at all: absent, or open and without any record of
  //! any establishment, it does not.
  bool AnexoVazio(nrw::TnClientDataSet* _ADataSet);
  //! Asks for a new page when the annex's first lines would not fit.
  void VerificarPagina();
  //! Restricts the dataset to the current establishment's rows.
  void FiltrarEstabelecimento(nrw::TnClientDataSet& _ADataSet);

  // Borrowed from the host; nullptr when the parameter is missing, 0 or not a number.
  nrw::TnClientDataSet* cdsTR001 = nullptr;
  nrw::TnClientDataSet* cdsTR002 = nullptr;
  nrw::TnClientDataSet* cdsTR003 = nullptr;
  nrw::TnClientDataSet* cdsTR004 = nullptr;
  nrw::TnClientDataSet* cdsTR910 = nullptr;
  nrw::TnClientDataSet* cdsTR920 = nullptr;
  nrw::TnClientDataSet* cdsTR941 = nullptr;
  nrw::TnClientDataSet* cdsTR950 = nullptr;
  nrw::TnClientDataSet* cdsTR960 = nullptr;
  nrw::TnClientDataSet* cdsTR990 = nullptr;
  nrw::TnClientDataSet* cdsTR942 = nullptr;
  nrw::TnClientDataSet* cdsTabCFOP = nullptr;
  bool FImprimiuTituloANexo4 = false;

  //! The twelve datasets with their parameters, in the order they are loaded and emptied.
  struct TDataSetParam {
    const char* Param;
    nrw::TnClientDataSet* TRptStateGuideB::*Field;
  };
  static const std::array<TDataSetParam, 12> kDataSets;
};

}  // namespace state_guide_b
