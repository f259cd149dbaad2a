// TRptWithholdingReview: the review of the yearly withholding declaration, company by company: the
// declarant, then every beneficiary record that the declaration's rules keep, with its taxable
// income by month, its exempt income and its income received cumulatively.
// The instance owns the datasets of one run (released when the run ends, whatever the path); the
// run's declarant dataset, controller and message list live only inside ImprimirInterno.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/separator_events.h"
#include "nrw/aviso.h"
#include "nrw/dirf.h"
#include "nrw/events.h"
#include "nrw/report.h"
#include "nrw/sql.h"
#include "nrw/variant.h"

namespace withholding_review {

using nrw::TDataSetRef;

//! Short month name of the review's month lines; 13 is the thirteenth salary.
std::string NomeMes(int mes);

class TRptWithholdingReview : public nrw::TnrwBaseDll {
 public:
  explicit TRptWithholdingReview(nrw::TnrwReport& _ARep);
  ~TRptWithholdingReview() override;

  std::string Versao() override;
  void ImprimirInterno() override;
  void AntesConfigurar(nrw::TnpqPowerParam& _AParent) override;
  void DepoisConfigurar(nrw::TnpqPowerParam& _AParent) override;
  void DoParamChange(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) override;
  void DoParamEnter(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) override;
  void DoParamExit(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) override;

  void DoDepoisCriarFiltroBenef(nrw::TObject* Sender, std::string& _AFiltro);
  void DoSQLSeparadorEvent(nrw::TnpqPowerParam& _APowerParam, const std::string& _AConsultFields,
                           const std::string& _ATabela, const std::string& _AFiltro,
                           int _ARecNoSeparador, std::string& _ASQLOriginal);

  bool GerouQuebraRelatorio() const { return FGerouQuebraRelatorio; }

 private:
  //! Column positions of the declarant dataset, found once per run.
  struct TColunasReg1 {
    int32_t CODIGOEMPRESA = -1, ANOBASE = -1, INSCRFEDERAL = -1, NOMEESTAB = -1, CPFRESPCNPJ = -1,
            CPFRESP = -1, NOMERESP = -1, DDDRESP = -1, TELEFONERESP = -1, RAMALRESP = -1,
            FAXRESP = -1, EMAILRESP = -1;
  };

  //! Totals of the taxable, exempt and RRA blocks, in the order of their columns.
  using TTotaisTributaveis = std::array<double, 7>;
  using TTotaisIsentos = std::array<double, 5>;
  using TTotaisRRA = std::array<double, 8>;

  //! What one run makes and reads besides the instance's datasets. ImprimirInterno releases it,
  //! whatever the path.
  struct TExecucao {
    nrw::TDateTime AnoBase;
    int Grupo = 0;
    std::string Empresas;
    std::string FiltroEmpresa;
    TDataSetRef curDIRFReg1;
    TColunasReg1 ixReg1;
    std::unique_ptr<nrw::TnControleDIRF> Controle;
    std::unique_ptr<nrw::TnAviso> Aviso;
    //! Companies with at least one printed beneficiary record.
    int EmpresasImpressas = 0;
  };

  // The run, in its order.
  void LerDeclaracao(TExecucao& run);
  void SelecionarEmpresas(TExecucao& run);
  void CriarControleDirf(TExecucao& run);
  void ExecutarConsultas(TExecucao& run);
  void PosicoesColunas(TExecucao& run);
  void ImprimirEmpresa(TExecucao& run);
  void ConcluirMensagens(TExecucao& run);

  // Data.
  std::string FiltroEmpresa(int grupo, const std::string& empresas);
  std::string FiltroBeneficiario();
  std::string JoinFilial();
  std::string OrdemBeneficiarios();
  //! True while the host produces one part per company: the group was already expanded into
  //! the parts, so each part reads its own company only.
  bool QuebraPorEmpresa(nrw::TnpqPowerParam& panel) const;
  void PreencherEmpresa(const TExecucao& run);
  //! The income and withheld tax of the current beneficiary record; false when the record has no
  //! sums.
  bool SomarValores(int64_t empresa);
  //! Whether the current beneficiary record is printed: it has sums and the controller keeps it.
  bool AtendeRegras(TExecucao& run, int64_t empresa);

  // Printing.
  void ImprimirCabecalhoEmpresa(TExecucao& run);
  void ImprimirRegistro();
  void ImprimirBeneficiario();
  void ImprimirRendTributaveis();
  void ImprimirTitulosTributaveis();
  //! Writes R1 to R7 from the month's row, or zeros when the month has none; adds them to the
  //! totals when there are totals.
  void EscreverMesTributavel(int mes, TTotaisTributaveis* totais);
  void ImprimirRendIsentos();
  int ContarMesesIsentos();
  //! Writes R1 to R5 from the current exempt row.
  void EscreverMesIsento(TTotaisIsentos* totais);
  void ImprimirRRA();
  int ContarMesesRRA(const std::vector<nrw::Variant>& beneficiario);
  void ImprimirProcessoRRA();
  void ImprimirTitulosRRA();
  void ImprimirMesesRRA(const std::vector<nrw::Variant>& beneficiario, TTotaisRRA& totais);
  void ImprimirSeCouber(int section);
  void ImprimirTitulo(const std::string& titulo);
  void ImprimirTituloIsentos(bool& titulo_impresso);
  //! The room check of a block: when it fails, the block starts on a new page under a repeated
  //! beneficiary heading.
  void GarantirEspaco(const std::vector<std::pair<int, int>>& pares);
  //! Key of the current beneficiary record in the monthly datasets, alone or with a month.
  std::vector<nrw::Variant> ChaveRegistro() const;
  std::vector<nrw::Variant> ChaveMes(int mes) const;
  //! Key of the current RRA row's month in the RRA monthly detail.
  std::vector<nrw::Variant> ChaveMesRRA(const std::vector<nrw::Variant>& beneficiario,
                                        int mes) const;

  TDataSetRef curDIRFReg2SUM;
  TDataSetRef curDIRFReg2;
  TDataSetRef curDIRFReg2Det;
  TDataSetRef curDIRFReg2DetIsento;
  TDataSetRef curDIRFRRA;
  TDataSetRef curDIRFRRADet;
  double FValorRendimentos = 0;
  double FValorRetido = 0;
  int32_t ixDIRFREG2SUM_CODIGOEMPRESA = -1, ixDIRFREG2SUM_INSCRFEDERALBENEF = -1,
          ixDIRFREG2SUM_TIPOINFORME = -1, ixDIRFREG2SUM_ValorMontanteFunc = -1,
          ixDIRFREG2SUM_ValorRendimento = -1, ixDIRFREG2SUM_ValorRetido = -1;
  int32_t ixReg2CODIGOEMPRESA = -1, ixReg2ANOBASE = -1, ixReg2CODIGORETENCAO = -1,
          ixReg2TIPOINSCRBENEF = -1, ixReg2INSCRFEDERALBENEF = -1, ixReg2NOMEBENEF = -1;
  int32_t ixReg2DetCODIGOEMPRESA = -1, ixReg2DetANOBASE = -1, ixReg2DetTIPOINSCRBENEF = -1,
          ixReg2DetINSCRFEDERALBENEF = -1, ixReg2DetCODIGORETENCAO = -1, ixReg2DetMES = -1,
          ixReg2DetVALORRENDIMENTO = -1, ixReg2DetVALORPREVOFICIAL = -1,
          ixReg2DetVALORPREVPRIVADA = -1, ixReg2DetVALORPENSAOALIM = -1,
          ixReg2DetVALORDEPENDENTE = -1, ixReg2DetVALORRETIDO = -1,
          ixReg2DetDESCONTOSIMPLIFICADO = -1;
  bool FGerouQuebraRelatorio = false;

  // Event links; declared last so that they are given back first when the instance is freed.
  nrw::common::SQLSeparadorBinding FLinkSQLSeparador;
  nrw::common::FiltroBinding FLinkFiltroBeneficiario;
};

}  // namespace withholding_review
