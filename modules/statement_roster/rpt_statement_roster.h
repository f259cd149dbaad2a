// TRptStatementRoster: the roster of the beneficiaries that receive an income statement, company by
// company and, within a company, by statement type (employees, third parties, other companies),
// with a heading per company and a count per group.
// The instance owns the company heading object and the two lookup datasets of a run; all three and
// the after-section handler are released when ImprimirInterno ends, whatever the path.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/separator_events.h"
#include "nrw/events.h"
#include "nrw/report.h"
#include "nrw/sql.h"
#include "nrw/util.h"

namespace statement_roster {

//! The yearly limits below which a beneficiary need not be declared.
struct TLimitesAnuais {
  double Tributavel = 0;
  double Isento = 0;
};

//! The selection options of the panel, as the roster reads them.
struct TOpcoesSelecao {
  nrw::TnGerarFuncionario GerarFunc = nrw::ValueToEnum<nrw::TnGerarFuncionario>(1);
  int64_t GerarTerc = 1;
  int64_t GerarOutEmp = 1;
  TLimitesAnuais Limites;
};

//! What the selection looks at in one row of the main dataset.
struct TLinhaSelecao {
  int64_t TipoInforme = 1;
  double Rendimento = 0;
  double Retido = 0;
  //! Sum of the exempt and other income columns.
  double Isentos = 0;
  //! An employee whose contract type is a director's or a pro-labore partner's.
  bool Especial = false;
};

//! True when the row is left out of the roster by the option of its group.
bool PularLinha(const TLinhaSelecao& linha, const TOpcoesSelecao& opcoes);

class TRptStatementRoster : public nrw::TnrwBaseDll {
 public:
  explicit TRptStatementRoster(nrw::TnrwReport& _ARep);
  ~TRptStatementRoster() override;

  std::string Versao() override;
  void ImprimirInterno() override;
  void DoParamChange(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) override;
  void DoParamEnter(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) override;
  void DoParamExit(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) override;
  void AntesConfigurar(nrw::TnpqPowerParam& _AParent) override;

  //! After the page heading: the company heading or the column heading, then the gap.
  void DoAfterSection(nrw::TObject* Sender, int Section);
  //! Contract type code of the employee with that CPF in the company (the smallest of several
  //! contracts), 0 when there is none. Also loads the contract types of directors.
  int32_t CarregarCurAuxiliar(int32_t _ACodigoEmpresa, const std::string& _ACPF,
                              nrw::TnGerarFuncionario _AGerarFunc);

 private:
  //! Positions of the main dataset's columns, found once per run.
  struct TColunas {
    int32_t CODIGOEMPRESA = -1, NOMEBENEF = -1, INSCRFEDERALBENEF = -1, VALORRENDIMENTO = -1,
            PREVIDENCIAOFICIAL = -1, PREVIDENCIAPRIVADA = -1, PENSAOALIMENTICIA = -1,
            VALORRETIDO = -1, VALOR13 = -1, APOSENTADORIA = -1, DIARIAS = -1, INVALIDEZ = -1,
            LUCRODIVID1996 = -1, VLRPAGOSOCIOPQEMP = -1, INDENIZACAO = -1, OUTROSRENDISENTO = -1,
            VALOROUTROS = -1, JUROSCAPITALPROPRIO = -1, TIPOINFORME = -1;
  };

  //! The company and statement type of the rows being counted, and their count.
  struct TGrupo {
    int64_t Empresa = 0;
    int64_t Tipo = 0;
    int Contagem = 0;
    //! The company heading is still to be printed.
    bool PrimeiraDaEmpresa = true;
  };

  // The run, in its order.
  TOpcoesSelecao LerOpcoes();
  TLimitesAnuais LimitesDoAno();
  TColunas Posicoes();
  //! The page breaks, the company heading object, the after-section handler and the caption.
  void Configurar();
  void ImprimirLinhas(const TColunas& ix, const TOpcoesSelecao& opcoes);
  //! At a new company or statement type, the totals of the group that ends.
  void MudarGrupo(const TColunas& ix, TGrupo& grupo);
  TLinhaSelecao LinhaAtual(const TColunas& ix, const TOpcoesSelecao& opcoes);
  void ImprimirLinha(const TColunas& ix, bool& primeira_da_empresa);
  void ImprimirTotais(int contagem, int64_t tipo);
  void Set(const std::string& name, const std::string& text);

  std::unique_ptr<nrw::TnCabecalhoRelatorio> FCabecalho;
  nrw::TDataSetRef curTipoContr;
  nrw::TDataSetRef curFunc;
  int32_t FQuebra = 1;
  int32_t FCodigoEmpresa = 0;
  int32_t FTipoRelatorio = 2;

  // Declared last, so that the handler is given back first when the instance is freed.
  nrw::common::AfterSectionBinding FLinkAfterSection;
};

}  // namespace statement_roster
