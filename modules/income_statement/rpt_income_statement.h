// TRptIncomeStatement: the yearly statement of income paid and tax withheld, one per beneficiary of
// the report's main dataset, with copies, complementary information, health plans, income received
// cumulatively and partner dividends; it also answers the host's separator questions so that each
// beneficiary (or employment contract) can be produced as a part of its own.
// The instance owns its datasets (released in Destroy), its separator list, the progress box and
// the run's withholding-declaration controller; the field maps belong to their datasets.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "common/field_map.h"
#include "common/separator_events.h"
#include "nrw/dirf.h"
#include "nrw/events.h"
#include "nrw/progress.h"
#include "nrw/report.h"
#include "nrw/sql.h"
#include "nrw/util.h"

namespace income_statement {

using nrw::TDataSetRef;

// The health-plan and partner datasets, each read through a map of its columns.
#define INCOME_STATEMENT_OPERADORA_COLUMNS(X) \
  X(CodigoEmpresa)                            \
  X(AnoBase)                                  \
  X(InscrFederalBenef)                        \
  X(InscriFederalOper)                        \
  X(NomeOperadora)                            \
  X(ValorPagoTitular)
#define INCOME_STATEMENT_PLANO_SAUDE_COLUMNS(X) \
  X(CodigoEmpresa)                              \
  X(AnoBase)                                    \
  X(TipoInscrBenef)                             \
  X(InscrFederalBenef)                          \
  X(InscriFederalOper)                          \
  X(NomeOperadora)                              \
  X(ValorPagoTitular)                           \
  X(ValorPagoReembolsoAno)                      \
  X(ValorPagoReembolsoAnoAnt)                   \
  X(ValorPagoReembolsoAnoDep)                   \
  X(ValorPagoReembolsoAnoAntDep)                \
  X(CPFDependente)                              \
  X(Nome)                                       \
  X(ValorPagoAno)
#define INCOME_STATEMENT_DIRF_SOCIO_COLUMNS(X) \
  X(CodigoEmpresa)                             \
  X(AnoBase)                                   \
  X(InscrFederalSocio)                         \
  X(InscrFederalDirfSCP)                       \
  X(Valor)

NRW_FIELD_MAP(TMapOperadoraPlanoSaude, INCOME_STATEMENT_OPERADORA_COLUMNS);
NRW_FIELD_MAP(TMapPlanoSaude, INCOME_STATEMENT_PLANO_SAUDE_COLUMNS);
NRW_FIELD_MAP(TMapDirfSocio, INCOME_STATEMENT_DIRF_SOCIO_COLUMNS);

//! The selection the datasets were loaded for.
struct TnBackupParametro {
  std::string CodigoEmpresa;
  std::string CodigoFuncContr;
  std::string Beneficiarios;
  //! True while the datasets are loaded for the stored selection.
  bool FezQuebra = false;
};

//! One combination of separator values that has data.
struct TnSeparador {
  int32_t CodigoEmpresa = 0;
  int32_t CodigoEstab = 0;
  int32_t CodigoFuncContr = 0;
  std::string Beneficiarios;
};

//! Chained lookup3 hash of a combination: the three codes as 4 little-endian bytes each, then the
//! UTF-16 code units of the beneficiary number.
uint32_t HashSeparador(const TnSeparador& separador);

//! Description of a retention code ("Rendimentos do Trabalho Assalariado" for codes not listed).
std::string DescricaoCodigoRetencao(int64_t code);

class TRptIncomeStatement : public nrw::TnrwBaseDll {
 public:
  explicit TRptIncomeStatement(nrw::TnrwReport& _ARep);
  ~TRptIncomeStatement() override;

  std::string Versao() override;
  void ImprimirInterno() override;
  void AntesConfigurar(nrw::TnpqPowerParam& _AParent) override;
  void DepoisConfigurar(nrw::TnpqPowerParam& _AParent) override;
  void DoParamChange(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) override;
  void DoParamEnter(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) override;
  void DoParamExit(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) override;

  void DoDepoisCriarFiltro(nrw::TObject* Sender, std::string& _AFiltro);
  void DoSQLSeparadorEvent(nrw::TnpqPowerParam& _APowerParam, const std::string& _AConsultFields,
                           const std::string& _ATabela, const std::string& _AFiltro,
                           int _ARecNoSeparador, std::string& _ASQLOriginal);
  void DoListaValueParamsSeparador(nrw::TnrwReport& _APowerQuery, bool& _AGerarFiltro);

  const std::vector<TnSeparador>& ListaSeparador() const { return FListSeparador; }
  int32_t SeqSeparador() const { return FSeqSeparador; }

 private:
  //! Working values of one copy of the statement.
  struct TnVia {
    double PlrBruto = 0;
    double PlrLiquido = 0;
    std::string OutrasInformacoes;
    std::string TextoCapital;
    std::string ListaIsentos;
    double BaseIsenta = 0;
    double DividendosScp = 0;
    std::string RotuloScp;
    int Itens = 0;
    double MaiorValor = 0;
  };

  // The run, in its order.
  //! The run's options, and the selection when nothing stored it.
  void IniciarExecucao();
  //! The page heading's handler and the message page.
  void LigarCabecalhoPagina();
  //! The report variables of the year and the portal list; answers the number of copies.
  int64_t LerParametros();
  //! The current main row: the amounts, the skip rule and, when kept, its copies.
  void ImprimirBeneficiario(int64_t copias);

  // Data.
  void ArmazenarSelecao();
  void CarregarDatasets();
  //! Statements 1 to 12: `selecao` restricts by company and beneficiary, `filtro_empresa` by
  //! company only.
  void ExecutarConsultasAno(const std::string& selecao, const std::string& filtro_empresa);
  void AbrirCotasSocio(const std::string& empresas);
  void AbrirFuncionarioDirf();
  void LiberarDatasets();
  void CriarControleDirf();
  void GuardarPosicoes();
  void CalcularValores();
  bool PularBeneficiario();

  // Printing.
  void PreencherTipoPessoa();
  void AbrirEmpresa();
  void ImprimirVia();
  // One retention code of the beneficiary (the current row of curDirfReg2), read into the copy.
  void LerValoresCodigo(TnVia& via, bool primeiro);
  void AcrescentarOutrasInformacoes(TnVia& via);
  void AcrescentarIsentosCodigo(TnVia& via);
  void SomarDividendosScp(TnVia& via);
  //! The line of other exempt income of the statement body.
  void PreencherOutrosRendIsentos(const TnVia& via);
  void ImprimirRRA();
  void AbrirValorCotas(TnVia& via);
  void ImprimirInformacoesComplementares(TnVia& via);
  void VerificarEspacoPagina(const TnVia& via);
  void ImprimirDemaisInformacoes(TnVia& via);
  void ImprimirCodigosRetencao(const TnVia& via);
  void ImprimirPlanosSaude();
  // The tables of the operator in range of FCurPlanoSaude.
  void ImprimirDependentesPlano();
  void ImprimirReembolsosTitular(std::string& ultima_operadora);
  void ImprimirReembolsosDependentes();
  void ImprimirTitulosReembolso();
  void ImprimirLinhaOperadora(double ano, double anteriores);
  void ImprimirDespesasMedicas();
  void ImprimirRendimentosIsentos(TnVia& via);
  void ImprimirPensaoAlimenticia(TDataSetRef& dataset);
  void DoBeforeSection(int section);

  // Separators.
  std::string SQLSeparador();
  //! The progress box of the separator work, made when there is none.
  void MostrarProgresso();
  void MontarListaSeparador();
  //! The combination of a row of the separator statement, and that of the panel's values.
  TnSeparador SeparadorDaLinha(nrw::TnClientDataSet& linhas);
  TnSeparador SeparadorAtual();

  std::vector<nrw::Variant> ChaveBeneficiario() const;
  void Set(const std::string& name, const std::string& text);

  TMapOperadoraPlanoSaude* FMapOperadoraPlanoSaude = nullptr;
  TMapPlanoSaude* FMapPlanoSaude = nullptr;
  TMapDirfSocio* FMapDirfSocio = nullptr;
  TnBackupParametro FBackupParametro;
  std::vector<TnSeparador> FListSeparador;
  nrw::TnFpaMapDIRFRendRecebAcum* FMapRRA = nullptr;
  TDataSetRef FCurOperadoraPlanoSaude, FCurPlanoSaude, FCurDirfSocio;
  int32_t FSeqSeparador = 0;
  nrw::TDateTime FAnoBase;
  std::string FNomeBenef;
  int32_t ixCodigoEmpresa = -1, ixAnoBase = -1, ixValorEmprestimos = -1, ixTipoInscr = -1,
          ixTipoInscrBenef = -1, ixValorRetido = -1, ixAposentadoria = -1, ixDiarias = -1,
          ixInvalidez = -1, ixLucrodivid1996 = -1, ixVlrPagoSocioPqEmp = -1, ixIndenizacao = -1,
          ixOutrosRendIsento = -1, ixValor13 = -1, ixValorOutros = -1, ixValorRendimento = -1,
          ixJurosCapitalProprio = -1;
  int32_t ixInfRendIsentoOoutDESCRICAO = -1, ixInfRendIsentoOoutVALOR = -1;
  int32_t ixValorTotalRend = -1, ixDescRend = -1, ixCampoInforme = -1;
  std::unique_ptr<nrw::TnFraProgresso> FProgresso;
  double FValorMontanteFunc = 0, FValorRetido = 0, FValorRendimentos = 0;
  int32_t ixQueryInscrBenef = -1, ixQueryNomeBenef = -1;
  std::string FInscrBenef;
  bool FListou = false;
  nrw::TnNaoSim FExibeCotaCapital = nrw::TnNaoSim::nsNao;
  std::vector<std::string> FParamUtilizaBrevix;
  TDataSetRef curFuncionarioDirf, curValorCotas, curEmpresa, curResponsavelArq, curRRA, curDirfReg2,
      curDirfReg2Det, curInfRendFunc, curRendRecebAcumDepend, curInfRendEvento,
      curInfRendIsentoOutro, curInfRendIsentoOutroAbonoPecuniario, curTotalRend, curCotasSocio;
  std::unique_ptr<nrw::TnControleDIRF> FControleDirf;
  //! Hashes of FListSeparador, so that each part's question is answered without a list walk.
  std::unordered_set<uint32_t> FHashesSeparador;

  // Event links; declared last so that they are given back first when the instance is freed.
  nrw::common::BeforeSectionBinding FLinkBeforeSection;
  nrw::common::SQLSeparadorBinding FLinkSQLSeparador;
  nrw::common::ValoresSeparadorBinding FLinkValoresSeparador;
  nrw::common::FiltroBinding FLinkFiltroBeneficiario;
};

}  // namespace income_statement
