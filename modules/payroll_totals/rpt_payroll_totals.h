// TRptPayrollTotals: payroll totals per employer registration number for one month or one year.
// The figures come from the host's data module TSalaryTotalsExporter; the module names each line's
// company and establishment, orders the lines and prints them. A run owns its lines, its two
// datasets and the data module, and releases them on every path.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/field_map.h"
#include "nrw/datetime.h"
#include "nrw/events.h"
#include "nrw/report.h"
#include "nrw/sql.h"

namespace payroll_totals {

//! One line of the listing.
struct TDadosListOrd {
  int32_t CodigoEmpresa = 0;
  std::string NomeEmpresa;
  std::string InscrFederal;
  int32_t TipoInscr = 0;
  int32_t QtdFunc = 0;
  double ValorTot = 0;
  double ValorRegra = 0;
};

using TListaOrd = std::vector<std::unique_ptr<TDadosListOrd>>;

// The data module's totals and the company of a registration number, each read through a map of
// its columns.
#define PAYROLL_TOTALS_DADOS_COLUMNS(X) \
  X(InscrFederal)                       \
  X(TipoInscr)                          \
  X(QtdFunc)                            \
  X(ValorTotal)                         \
  X(ValorRegra)
#define PAYROLL_TOTALS_EMPRESA_COLUMNS(X) \
  X(CodigoEmpresa)                        \
  X(NomeEmpresa)

NRW_FIELD_MAP(TMapDados, PAYROLL_TOTALS_DADOS_COLUMNS);
NRW_FIELD_MAP(TMapEmpresa, PAYROLL_TOTALS_EMPRESA_COLUMNS);

//! The 64-bit number formed by the digits of a registration number (0 when it has none).
int64_t ValorInscricao(const std::string& inscr);
//! Orders the lines: 1 by company and number, 2 by name (ASCII letters without regard to case)
//! and number, 3 by number; any other order leaves them as they are.
void OrdenarLista(TListaOrd& lista, int64_t ordem);

class TRptPayrollTotals : public nrw::TnrwBaseDll {
 public:
  using TnrwBaseDll::TnrwBaseDll;

  std::string Versao() override;
  void ImprimirInterno() override;
  void DoParamChange(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) override;
  void DoParamEnter(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) override;
  void DoParamExit(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) override;
  void DepoisConfigurar(nrw::TnpqPowerParam& _AParent) override;
  void AntesConfigurar(nrw::TnpqPowerParam& _AParent) override;

  //! After-section handler of a run: the column titles follow every page heading.
  void DoAfterSection(nrw::TObject* Sender, int ASection);

 private:
  //! The report's parameters as the run reads them.
  struct TParametros {
    int64_t Ordenar = 1;
    nrw::TDateTime Compet;
    int64_t Modelo = 0;
    int64_t Grupo = 0;
    std::string Empresas;
  };

  //! What one run makes; ImprimirInterno releases it, whatever the path.
  struct TExecucao {
    TListaOrd FListaOrd;
    nrw::EventBinding<nrw::TObject*, int> DepoisSecao;
    nrw::TDataSetRef curEstab;
    nrw::TField* EstabApelido = nullptr;
    nrw::TDataSetRef curEmpresa;
    const TMapEmpresa* Empresa = nullptr;
    bool DMCriado = false;
  };

  // The run, in its order.
  TParametros LerParametros();
  void AbrirEstabelecimentos(TExecucao& run, const std::string& empresas);
  //! Creates the data module, gives it the report's parameters, runs it and answers its totals.
  nrw::TnClientDataSet& ExecutarExportador(TExecucao& run, const TParametros& parametros);
  //! One line per row of the data module, with the company and establishment of its number.
  void LerLinhas(TExecucao& run, nrw::TnClientDataSet& dados);
  nrw::TnClientDataSet& BuscarEmpresa(TExecucao& run, const std::string& inscr);
  void ImprimirLinhas(const TListaOrd& lista);

  //! The competence is edited as month and year (monthly model) or as a year.
  void TrocarEditorCompetencia();

  //! Calls of DoParamChange on this instance; the first one does nothing.
  int32_t i = 0;
};

}  // namespace payroll_totals
