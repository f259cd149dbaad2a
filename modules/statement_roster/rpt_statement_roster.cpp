// The run of the income statement roster: the options and yearly limits, the walk over the main
// dataset with company headings and group totals, the page heading's continuation and the panel
// hooks.
#include "rpt_statement_roster.h"

#include <vector>

#include "common/column_position.h"
#include "nrw/format.h"
#include "nrw/guards.h"
#include "nrw/module.h"
#include "nrw/shared_data.h"
#include "statement_roster_sections.h"

namespace statement_roster {

using nrw::FormatFloat;
using nrw::TnClientDataSet;
using nrw::Variant;

namespace {

constexpr const char* kMascaraValor = "#,##0.00";

}  // namespace

TRptStatementRoster::TRptStatementRoster(nrw::TnrwReport& _ARep) : TnrwBaseDll(_ARep) {}

TRptStatementRoster::~TRptStatementRoster() = default;

std::string TRptStatementRoster::Versao() { return "[versao: 1.0.0.0]"; }

void TRptStatementRoster::AntesConfigurar(nrw::TnpqPowerParam& _AParent) {
  TnrwBaseDll::AntesConfigurar(_AParent);
  Report().GetParams().Param("pCodigoGrupoProc").Visivel = true;
}

void TRptStatementRoster::DoParamChange(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) {}

void TRptStatementRoster::DoParamEnter(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) {}

void TRptStatementRoster::DoParamExit(nrw::TObject* Sender, nrw::TnpqParamItem& _AParam) {}

void TRptStatementRoster::Set(const std::string& name, const std::string& text) {
  Report().GetParams().SetValues(name, text);
}

void TRptStatementRoster::DoAfterSection(nrw::TObject* Sender, int Section) {
  if (Section != kSecaoCabecalhoPagina) return;
  if (FQuebra == 2) {
    if (FCabecalho) FCabecalho->ImpressaoCabecalho();
    Report().RepPrintSection(kSecaoIntervalo);
  } else {
    if (FTipoRelatorio == 2) Report().RepPrintSection(kSecaoTitulosIsentos);
    Report().RepPrintSection(kSecaoIntervalo);
  }
}

TLimitesAnuais TRptStatementRoster::LimitesDoAno() {
  const nrw::TDateTime ano_base = nrw::StrToDateDef(RepParam("pAnoBase"), nrw::TDateTime());
  const Variant limites =
      nrw::PegarValorCampo("RendimentoAnual", "LimiteTributavel, LimiteIsentoTribExclusiva",
                           "Ano = " + nrw::ValorParaSQL(Variant(ano_base), nrw::TFieldType::Date));
  if (limites[0].IsNull()) {
    throw nrw::Exception("Os valores para o rendimento do ano selecionado não estão cadastrados!");
  }
  return {limites[0].AsFloat(), limites[1].AsFloat()};
}

TRptStatementRoster::TColunas TRptStatementRoster::Posicoes() {
  TnClientDataSet& query = Query();
  const auto ix = [&query](const char* name) { return nrw::common::ColumnPosition(query, name); };
  TColunas c;
  c.CODIGOEMPRESA = ix("CODIGOEMPRESA");
  c.NOMEBENEF = ix("NOMEBENEF");
  c.INSCRFEDERALBENEF = ix("INSCRFEDERALBENEF");
  c.VALORRENDIMENTO = ix("VALORRENDIMENTO");
  c.PREVIDENCIAOFICIAL = ix("PREVIDENCIAOFICIAL");
  c.PREVIDENCIAPRIVADA = ix("PREVIDENCIAPRIVADA");
  c.PENSAOALIMENTICIA = ix("PENSAOALIMENTICIA");
  c.VALORRETIDO = ix("VALORRETIDO");
  c.VALOR13 = ix("VALOR13");
  c.APOSENTADORIA = ix("APOSENTADORIA");
  c.DIARIAS = ix("DIARIAS");
  c.INVALIDEZ = ix("INVALIDEZ");
  c.LUCRODIVID1996 = ix("LUCRODIVID1996");
  c.VLRPAGOSOCIOPQEMP = ix("VLRPAGOSOCIOPQEMP");
  c.INDENIZACAO = ix("INDENIZACAO");
  c.OUTROSRENDISENTO = ix("OUTROSRENDISENTO");
  c.VALOROUTROS = ix("VALOROUTROS");
  c.JUROSCAPITALPROPRIO = ix("JUROSCAPITALPROPRIO");
  c.TIPOINFORME = ix("TIPOINFORME");
  return c;
}

void TRptStatementRoster::ImprimirInterno() {
  // The limits are read before anything is printed, also when there is nothing to print.
  const TOpcoesSelecao opcoes = LerOpcoes();
  if (Query().IsEmpty()) return;
  const TColunas ix = Posicoes();
  const nrw::ScopeExit limpeza([this] {
    FCabecalho.reset();
    FLinkAfterSection.Release();
    nrw::DestruirSQL(curFunc);
    nrw::DestruirSQL(curTipoContr);
  });
  Configurar();
  ImprimirLinhas(ix, opcoes);
}

TOpcoesSelecao TRptStatementRoster::LerOpcoes() {
  TOpcoesSelecao opcoes;
  opcoes.GerarFunc =
      nrw::ValueToEnum<nrw::TnGerarFuncionario>(nrw::StrToIntDef(RepParam("pGerarFunc"), 1));
  opcoes.GerarTerc = nrw::StrToIntDef(RepParam("pGerarTerc"), 1);
  opcoes.GerarOutEmp = nrw::StrToIntDef(RepParam("pGerarOutEmp"), 1);
  if (static_cast<int>(opcoes.GerarFunc) == 4 || opcoes.GerarTerc == 4 || opcoes.GerarOutEmp == 4) {
    opcoes.Limites = LimitesDoAno();
  }
  return opcoes;
}

void TRptStatementRoster::Configurar() {
  FTipoRelatorio = static_cast<int32_t>(nrw::StrToIntDef(RepParam("pTipoRelatorio"), 2));
  FQuebra = static_cast<int32_t>(nrw::StrToIntDef(RepParam("pQuebraPagina"), 1));
  // The type-1 list repeats the registration rather than adding the captions of exempt income.
  if (FQuebra == 2) {
    FCabecalho = std::make_unique<nrw::TnCabecalhoRelatorio>(
        Report(), false, false, false, false, false,
        FTipoRelatorio == 2 ? std::vector<int>{kSecaoInscricaoEmpresa, kSecaoTitulosIsentos}
                            : std::vector<int>{kSecaoInscricaoEmpresa, kSecaoInscricaoEmpresa},
        -1, 1, 1, "1", "", false);
  }
  FLinkAfterSection = {Report().OnAfterSection, *this, [this](nrw::TObject* sender, int section) {
                         DoAfterSection(sender, section);
                       }};
  RepObjCaption("Etiqueta35",
                FQuebra == 1 ? "Arquivos Magnéticos" : "@var(gemVNomeEmpresa;[CodigoEmpresa])");
}

void TRptStatementRoster::ImprimirLinhas(const TColunas& ix, const TOpcoesSelecao& opcoes) {
  TnClientDataSet& query = Query();
  int progresso = 0;
  const int total = query.RecordCount();
  query.First();
  TGrupo grupo;
  grupo.Empresa = query.Fields(ix.CODIGOEMPRESA).AsInteger();
  grupo.Tipo = query.Fields(ix.TIPOINFORME).AsInteger();
  while (!query.Eof()) {
    if (!PularLinha(LinhaAtual(ix, opcoes), opcoes)) {
      ++grupo.Contagem;
      ImprimirLinha(ix, grupo.PrimeiraDaEmpresa);
    }
    ++progresso;
    Report().CSLShowProgress(progresso, total);
    query.Next();
    if (query.Eof()) {
      ImprimirTotais(grupo.Contagem, grupo.Tipo);
      break;
    }
    MudarGrupo(ix, grupo);
  }
}

void TRptStatementRoster::MudarGrupo(const TColunas& ix, TGrupo& grupo) {
  TnClientDataSet& query = Query();
  const int64_t empresa = query.Fields(ix.CODIGOEMPRESA).AsInteger();
  const int64_t tipo = query.Fields(ix.TIPOINFORME).AsInteger();
  if (empresa != grupo.Empresa) {
    ImprimirTotais(grupo.Contagem, grupo.Tipo);
    if (FQuebra == 2) Report().SetCSLIsPageEnd(true);
    grupo.Contagem = 0;
    grupo.PrimeiraDaEmpresa = true;
    grupo.Empresa = empresa;
    grupo.Tipo = tipo;
  } else if (tipo != grupo.Tipo) {
    ImprimirTotais(grupo.Contagem, grupo.Tipo);
    grupo.Contagem = 0;
    grupo.Tipo = tipo;
  }
}

TLinhaSelecao TRptStatementRoster::LinhaAtual(const TColunas& ix, const TOpcoesSelecao& opcoes) {
  TnClientDataSet& query = Query();
  TLinhaSelecao linha;
  for (const int32_t coluna :
       {ix.APOSENTADORIA, ix.DIARIAS, ix.INVALIDEZ, ix.LUCRODIVID1996, ix.VLRPAGOSOCIOPQEMP,
        ix.INDENIZACAO, ix.OUTROSRENDISENTO, ix.VALOR13, ix.VALOROUTROS, ix.JUROSCAPITALPROPRIO}) {
    linha.Isentos += query.Fields(coluna).AsFloat();
  }
  linha.Retido = query.Fields(ix.VALORRETIDO).AsFloat();
  linha.Rendimento = query.Fields(ix.VALORRENDIMENTO).AsFloat();
  linha.TipoInforme = query.Fields(ix.TIPOINFORME).AsInteger();
  if (linha.TipoInforme == 1) {
    const int32_t contrato =
        CarregarCurAuxiliar(static_cast<int32_t>(query.Fields(ix.CODIGOEMPRESA).AsInteger()),
                            query.Fields(ix.INSCRFEDERALBENEF).AsString(), opcoes.GerarFunc);
    linha.Especial = nrw::CDS(curTipoContr).FindKey({Variant(contrato)});
  }
  return linha;
}

void TRptStatementRoster::ImprimirLinha(const TColunas& ix, bool& primeira_da_empresa) {
  TnClientDataSet& query = Query();
  const auto valor = [&query](int32_t coluna) {
    return FormatFloat(kMascaraValor, query.Fields(coluna).AsFloat());
  };
  Set("R1", query.Fields(ix.NOMEBENEF).AsString());
  Set("R2", query.Fields(ix.INSCRFEDERALBENEF).AsString());
  Set("R3", valor(ix.VALORRENDIMENTO));
  Set("R4", valor(ix.PREVIDENCIAOFICIAL));
  Set("R5", valor(ix.PREVIDENCIAPRIVADA));
  Set("R6", valor(ix.PENSAOALIMENTICIA));
  Set("R7", valor(ix.VALORRETIDO));
  Set("R8", valor(ix.VALOR13));
  Set("R9", valor(ix.DIARIAS));
  Set("R10", valor(ix.INVALIDEZ));
  Set("R11", valor(ix.LUCRODIVID1996));
  Set("R12", valor(ix.INDENIZACAO));
  Set("R13", valor(ix.VLRPAGOSOCIOPQEMP));
  Set("R14", valor(ix.OUTROSRENDISENTO));
  Set("R15", valor(ix.VALOROUTROS));
  Set("R16", valor(ix.APOSENTADORIA));
  Set("R18", valor(ix.JUROSCAPITALPROPRIO));
  FCodigoEmpresa = static_cast<int32_t>(query.Fields(ix.CODIGOEMPRESA).AsInteger());
  if (FQuebra == 2) FCabecalho->Executar(FCodigoEmpresa);
  // The company heading, before its first listed line.
  if (primeira_da_empresa) {
    const Variant nome = nrw::PegarValorCampo("Empresa", "NomeEmpresa",
                                              "CodigoEmpresa = " + nrw::IntToStr(FCodigoEmpresa));
    Set("R17", nrw::FormatInteger("0000", FCodigoEmpresa) + "-" + nome.AsString());
    Set("R0", "");
    Report().RepPrintSection(kSecaoEmpresaOuTotal);
    Report().RepPrintSection(kSecaoIntervalo);
    primeira_da_empresa = false;
  }
  Report().RepPrintSection(kSecaoLinha);
  if (FTipoRelatorio == 2) Report().RepPrintSection(kSecaoLinhaIsentos);
}

void TRptStatementRoster::ImprimirTotais(int contagem, int64_t tipo) {
  if (contagem <= 0) return;
  const std::string quantidade = std::to_string(contagem);
  switch (tipo) {
    case 1:
      Set("R0", "Total Funcionários:  " + quantidade);
      break;
    case 2:
      Set("R0", "Total Terceiros:  " + quantidade);
      break;
    case 3:
      Set("R0", "Total Outras Empresas:  " + quantidade);
      break;
    default:  // keeps the text of the last total
      break;
  }
  Set("R17", "");
  Report().RepPrintSection(kSecaoIntervalo);
  Report().RepPrintSection(kSecaoEmpresaOuTotal);
  Report().RepPrintSection(kSecaoFimGrupo);
}

}  // namespace statement_roster

using statement_roster::TRptStatementRoster;
NRW_REPORT_CLASS(TRptStatementRoster)
