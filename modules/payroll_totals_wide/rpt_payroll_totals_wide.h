// TRptPayrollTotalsWide: payroll totals in landscape, one line per company, establishment and
// competence month listed by the host's sibling TSmallBusinessRegimeAnalysis, with establishment
// and company subtotals. A run owns its three datasets and the sibling (host-made, destroyed when
// the run ends, whatever the path); the sibling owns the line and establishment datasets.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/field_map.h"
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

// The sibling's lines and the statements' datasets, each read through a map of its columns.
#define PAYROLL_TOTALS_WIDE_LINHAS_COLUMNS(X) \
  X(CodigoEmpresa)                            \
  X(CodigoEstab)                              \
  X(Compet)
#define PAYROLL_TOTALS_WIDE_TOTAIS_COLUMNS(X) \
  X(AValorRemunMensal)                        \
  X(ValorDesconto)                            \
  X(AValorInssMensal)                         \
  X(AValorInssRescisao)                       \
  X(AValorFgtsMensal)                         \
  X(AValorFgtsRescisao)                       \
  X(AValorRemunRescisao)                      \
  X(AValorMultaFgts)                          \
  X(AQtdeFuncMensal)                          \
  X(AQtdeFuncRescisao)                        \
  X(ValorDescRemunRescisao)
#define PAYROLL_TOTALS_WIDE_TERCEIROS_COLUMNS(X) X(AValorTotalTerceiros)
#define PAYROLL_TOTALS_WIDE_TOTAL13_COLUMNS(X) \
  X(AVALORREMUNMENSAL)                         \
  X(AVALORINSSMENSAL)                          \
  X(AVALORFGTSMENSAL)                          \
  X(AQTDEFUNCMENSAL)

NRW_FIELD_MAP(TMapLinhas, PAYROLL_TOTALS_WIDE_LINHAS_COLUMNS);
NRW_FIELD_MAP(TMapTotais, PAYROLL_TOTALS_WIDE_TOTAIS_COLUMNS);
NRW_FIELD_MAP(TMapTerceiros, PAYROLL_TOTALS_WIDE_TERCEIROS_COLUMNS);
NRW_FIELD_MAP(TMapTotal13, PAYROLL_TOTALS_WIDE_TOTAL13_COLUMNS);

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
  //! The totals, terceiros and thirteenth-salary statements, each indexed on its key.
  void ExecutarConsultas(nrw::TDataSetRef& curTotais, nrw::TDataSetRef& curTerceiros);
  void CriarAnaliseSimples();
  nrw::TnClientDataSet& DataSetDoParametro(const char* name);

  //! The walk over the sibling's lines: the datasets and their columns, the current company and
  //! establishment, the rows printed and the sums of the establishment and of the company.
  struct TLaco {
    TLaco(nrw::TnClientDataSet& linhas_, nrw::TnClientDataSet& totais_,
          nrw::TnClientDataSet& terceiros_, nrw::TnClientDataSet& total13_)
        : linhas(linhas_), totais(totais_), terceiros(terceiros_), total13(total13_) {}
    nrw::TnClientDataSet& linhas;
    nrw::TnClientDataSet& totais;
    nrw::TnClientDataSet& terceiros;
    nrw::TnClientDataSet& total13;
    const TMapLinhas* campos_linha = nullptr;
    const TMapTotais* campos_totais = nullptr;
    const TMapTerceiros* campos_terceiros = nullptr;
    const TMapTotal13* campos_13 = nullptr;
    int64_t empresa_atual = 0;
    int64_t estab_atual = 0;
    int impressas = 0;
    int total_linhas = 0;
    TValoresLinha soma_estab;
    TValoresLinha soma_empresa;
  };

  // Printing.
  void ImprimirLinhas(nrw::TnClientDataSet& linhas, nrw::TnClientDataSet& totais,
                      nrw::TnClientDataSet& terceiros);
  //! The line of the row under the cursor, which it then leaves for the next one.
  void ImprimirLinha(TLaco& laco);
  void ImprimirTotalEstab(TLaco& laco);
  void ImprimirTotalEmpresa(TLaco& laco);
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
