// TRptCompanyPayeeStatement: the yearly statement of income paid and tax withheld for the
// beneficiaries that are other companies, one per company, beneficiary and retention code of the
// report's main dataset, in the form of the retention code, with its copies.
// Everything a run owns (the year's datasets, the company and accountant lookups, the controller)
// lives in the run's TExecucao and is released when ImprimirInterno ends, whatever the path.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "nrw/dirf.h"
#include "nrw/report.h"
#include "nrw/sql.h"
#include "nrw/variant.h"

namespace company_payee_statement {

//! Month text of a detail line: the month's name, "13º Salário" for the thirteenth salary, the
//! number for anything else.
std::string NomeMes(int64_t mes);

//! Retention codes of the form for the retentions of Lei 10.833/2003.
bool CodigoLei10833(int64_t codigo);

class TRptCompanyPayeeStatement : public nrw::TnrwBaseDll {
 public:
  explicit TRptCompanyPayeeStatement(nrw::TnrwReport& _ARep);
  ~TRptCompanyPayeeStatement() override;

  std::string Versao() override;
  void ImprimirInterno() override;
  void DoParamChange(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) override;
  void DoParamEnter(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) override;
  void DoParamExit(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) override;
  void AntesConfigurar(nrw::TnpqPowerParam& _AParent) override;

 private:
  //! The locals of one run. The destructor releases the datasets of the detail rows, the company,
  //! the accountant and the other information, in this order, then the controller.
  struct TExecucao {
    TExecucao() = default;
    TExecucao(const TExecucao&) = delete;
    TExecucao& operator=(const TExecucao&) = delete;
    ~TExecucao();

    nrw::TDateTime AnoBase;
    int64_t Copias = 1;
    std::string FiltroEmpresa;
    nrw::TDataSetRef curOutrasInformacoes, curDirfReg2Det, curEmpresa, curContador;
    std::unique_ptr<nrw::TnControleDIRF> ControleDirf;
    int32_t ixDetCodigoEmpresa = -1, ixDetInscrFederalBenef = -1, ixDetMes = -1,
            ixDetCodigoRetencao = -1, ixDetValorRendimento = -1, ixDetValorRetido = -1;
    int32_t ixNomeBenef = -1;
    //! The current row was reported for having no monthly detail; the message page is named.
    bool AvisouSemDetalhe = false;
    bool MensagemConfigurada = false;
    //! Companies whose statements cannot be made (their registry lacks what the payer block
    //! prints): said once on the message page, their rows left out.
    std::set<int64_t> EmpresasIncompletas;
  };

  void Configurar(TExecucao& run);
  void GuardarPosicoes(TExecucao& run);

  // One row of the main dataset.
  void CalcularValores(TExecucao& run);
  bool PularRegistro(TExecucao& run);
  //! A row the controller keeps: its form, payer, accountant and copies.
  void ImprimirRegistro(TExecucao& run);
  //! The payer company of the row; false, with the message said once per company, when its
  //! registry lacks what the statement prints.
  bool AbrirEmpresa(TExecucao& run);
  //! What the company's registry lacks, for the message that leaves it out.
  std::string FaltasDoCadastro(int32_t codigo);
  void Mensagem(TExecucao& run, const std::string& text);
  void AbrirContador(TExecucao& run);
  void ImprimirVia(TExecucao& run);
  //! The record's monthly lines, each printed in the given section of its form.
  void ImprimirMeses(TExecucao& run, int secao);
  void ImprimirInformacoesComplementares(TExecucao& run);
  //! A kept record without monthly detail prints nothing: the message page says so, once.
  void AvisarSemDetalhe(TExecucao& run);

  std::vector<nrw::Variant> ChaveRegistro(const TExecucao& run) const;
  void Set(const std::string& name, const std::string& text);

  double FValorRetido = 0;
  double FValorMontanteFunc = 0;
  double FValorRendimentos = 0;
  int32_t ixEmpNomeEmpresa = 0;
  int32_t ixEmpInscrFederal = 0;
  int32_t ixCodigoEmpresa = -1;
  int32_t ixCodigoRetencao = -1;
  int32_t ixInscrFederalBenef = -1;
  int32_t ixQueryValorRetido = -1;
  int32_t ixQueryAposentadoria = -1;
  int32_t ixQueryDiarias = -1;
  int32_t ixQueryInvalidez = -1;
  int32_t ixQueryLucroDivid1996 = -1;
  int32_t ixQueryValorPagoMicroempresa = -1;
  int32_t ixQueryIndenizacao = -1;
  int32_t ixQueryOutRendIsento = -1;
  int32_t ixQueryValor13 = -1;
  int32_t ixQueryValorOutros = -1;
  int32_t ixQueryJurosCapitalProprio = -1;
  int32_t ixQueryValorRendimento = -1;
};

}  // namespace company_payee_statement
