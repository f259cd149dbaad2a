// TRptPayrollTotalsWide: payroll totals in landscape, one line per company, establishment and
// competence month listed by the host's sibling TSmallBusinessRegimeAnalysis, with establishment
// and company subtotals. A run owns its three datasets and the sibling (host-made, destroyed when
// the run ends, whatever the path); the sibling owns the line and establishment datasets.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "nrw/report.h"
#include "nrw/siblings.h"
#include "nrw/sql.h"
#include "nrw/variant.h"

namespace payroll_totals_wide {

//! Thirteenth-salary figures of a line, an establishment or a company.
struct TValoresColuna {
  double TotalRemun = 0;
  double INSS = 0;
  double FGTS = 0;
  double TOTAL = 0;
  int32_t QTDFunc = 0;

  void ZerarValor() { *this = TValoresColuna(); }
  void Somar(const TValoresColuna& _AValor) {
    TotalRemun += _AValor.TotalRemun;
    INSS += _AValor.INSS;
    FGTS += _AValor.FGTS;
    TOTAL += _AValor.TOTAL;
    QTDFunc += _AValor.QTDFunc;
  }
};

//! The nine amounts and two counts of a line, also summed per establishment and per company.
struct TValoresLinha {
  double RemunMensal = 0;
  double RemunRescisao = 0;
  double InssMensal = 0;
  double InssRescisao = 0;
  double FgtsMensal = 0;
  double FgtsRescisao = 0;
  double TotalMensal = 0;
  double TotalRescisao = 0;
  double MultaFgts = 0;
  int32_t QtdeFuncMensal = 0;
  int32_t QtdeFuncRescisao = 0;

  void Somar(const TValoresLinha& outra);
};

//! The report's parameters as a run uses them.
struct TParametrosRun {
  nrw::TDateTime DataInicial;
  nrw::TDateTime DataFinal;
  std::string CodigoGrupoProc;
  std::string CodigoEmpresa;
  std::string CodigoEstab;
  std::string ContarSomarProLabore;
};

class TRptPayrollTotalsWide : public nrw::TnrwBaseDll {
 public:
  using TnrwBaseDll::TnrwBaseDll;
  ~TRptPayrollTotalsWide() override;

  std::string Versao() override;
  void ImprimirInterno() override;

  //! Reads the run's parameters; a date or group that does not convert raises with its name.
  void CarregarParametros();
  const TParametrosRun& Parametros() const { return FParametros; }

 private:
  void MontarFiltros();
  void CriarAnaliseSimples();
  nrw::TnClientDataSet& DataSetDoParametro(const char* name);

  // Printing.
  void ImprimirLinhas(nrw::TnClientDataSet& linhas, nrw::TnClientDataSet& totais,
                      nrw::TnClientDataSet& terceiros);
  void CarregarCabecalho(int64_t empresa, int64_t estab);
  void EscreverValores(const TValoresLinha& valores);
  void Escrever13(const TValoresColuna& valores);
  void Quebrar(nrw::TnClientDataSet& linhas, int64_t empresa, int64_t estab);

  TParametrosRun FParametros;
  int32_t ixCodigoEmpresa = -1, ixCodigoEstab = -1, ixNomeEmpresa = -1, ixApelidoEstab = -1,
          ixInscrFederal = -1, ixDataInicioAtiv = -1, ixDataEncerAtiv = -1;
  std::string FFiltroEmpresa;
  std::string FFiltroEstab;
  std::string FFiltroTipoContr;
  //! Host-owned while a run lives; nullptr otherwise.
  nrw::TnDMPowerParam* ADM = nullptr;
  nrw::TDataSetRef FCurTotal13salario;
  TValoresColuna TotalEmpresa13salario;
  TValoresColuna TotalFilial13salario;
  TValoresColuna Valores13Salario;
};

}  // namespace payroll_totals_wide
