// The run of the payroll totals: the report's parameters, the host's data module, the company and
// establishment of every registration number, the order asked for and one line per number.
#include "rpt_payroll_totals.h"

#include <utility>

#include "nrw/datetime.h"
#include "nrw/events.h"
#include "nrw/format.h"
#include "nrw/guards.h"
#include "nrw/module.h"
#include "nrw/siblings.h"
#include "nrw/sql.h"
#include "nrw/util.h"

namespace payroll_totals {

using nrw::TnClientDataSet;
using nrw::TnTipoInscrFederal;
using nrw::Variant;

namespace {

constexpr const char* kClasseDM = "TSalaryTotalsExporter";
constexpr const char* kSufixoDM = "_Sufix";
constexpr const char* kMascaraValor = "##,###,##0.00";
constexpr int kSecaoCabecalho = 1;
constexpr int kSecaoTitulos = 8;
constexpr int kSecaoLinha = 9;

constexpr const char* kSqlEstab = "select INSCRFEDERAL ,APELIDOESTAB from ESTAB where 0 = 0 ";
constexpr const char* kSqlEstabOrdem = "order by INSCRFEDERAL";
constexpr const char* kSqlEmpresa =
    "select e.CodigoEmpresa,       e.NomeEmpresa  from Empresa e,       Estab t where "
    "t.InscrFederal = :pInscrFederal   and t.CodigoEmpresa = e.CodigoEmpresa order by 1";

// The number as the establishments keep it, punctuated by its type, so that the lookups find it.
// A CPF (type 1) keeps its own punctuation: punctuated as a CNPJ it would match no establishment.
TnTipoInscrFederal TipoDaBusca(int64_t tipo_inscr) {
  switch (tipo_inscr) {
    case 1:
      return TnTipoInscrFederal::tifCPF;
    case 3:
      return TnTipoInscrFederal::tifCEI;
    default:
      return TnTipoInscrFederal::tifCNPJ;
  }
}

}  // namespace

std::string TRptPayrollTotals::Versao() { return "[versao: 1.1.18.0]"; }

void TRptPayrollTotals::DoAfterSection(nrw::TObject* Sender, int ASection) {
  if (ASection == kSecaoCabecalho) RepPrintSection(kSecaoTitulos);
}

void TRptPayrollTotals::ImprimirInterno() {
  nrw::TnpqPowerParam& panel = Report().GetParams();

  // 1. Whatever stops the run from here on, step 14 releases what was made so far.
  TListaOrd FListaOrd;
  nrw::EventBinding<nrw::TObject*, int> depois_secao;
  nrw::TDataSetRef curEstab;
  nrw::TDataSetRef curEmpresa;
  bool dm_criado = false;
  const nrw::ScopeExit limpeza([&] {
    // 14.
    depois_secao.Release();
    nrw::DestruirSQL(curEmpresa);
    nrw::DestruirSQL(curEstab);
    if (dm_criado) nrw::DestruirDM(kClasseDM, kSufixoDM);
    FListaOrd.clear();
  });

  // 2.
  const int64_t ordenar = nrw::StrToIntDef(panel.GetValues("pOrdenar"), 1);
  const nrw::TDateTime compet = nrw::StrToDateTime(panel.GetValues("pCompet"));
  const int64_t modelo = nrw::StrToInt(panel.GetValues("pModelo"));
  const std::string grupo_texto = panel.GetValues("pCodigoGrupoProc");
  const int64_t grupo = nrw::Trim(grupo_texto).empty() ? 0 : nrw::StrToInt(grupo_texto);
  const std::string empresas = nrw::Trim(panel.GetValues("pEmpresas"));

  // 3.
  depois_secao = {Report().OnAfterSection, *this,
                  [this](nrw::TObject* sender, int section) { DoAfterSection(sender, section); }};
  Report().MsgConfigurar({"Mensagem"});

  // 4.
  RepParam("pLCompet", modelo == 1 ? nrw::FormatDateTime("mm/yyyy", compet)
                                   : nrw::IntToStr(nrw::YearOf(compet)));

  // 5.
  std::string sql_estab = kSqlEstab;
  if (!empresas.empty()) {
    sql_estab += nrw::FilterInterval({"CODIGOEMPRESA"}, empresas, {1}, 0, true, 1) + " ";
  }
  sql_estab += kSqlEstabOrdem;
  curEstab = nrw::ExecutarSQL(sql_estab, true, false, -1, "", nullptr, true);
  TnClientDataSet& estab = nrw::CDS(curEstab);
  nrw::TField& estab_apelido = estab.FieldByName("APELIDOESTAB");

  // 6.
  nrw::TObject* criado = nrw::CriarDM(kClasseDM, 0, kSufixoDM);
  dm_criado = true;
  nrw::TnDMPowerParam& dm = nrw::AsClass<nrw::TnDMPowerParam>(criado);
  dm.Param("CodigoGrupoProc").SetAsInteger(grupo);
  dm.Param("Empresas").SetAsString(empresas);
  dm.Param("Estabs").SetAsString(panel.GetValues("Estabs"));
  dm.Param("Compet").SetAsString(panel.GetValues("pCompet"));
  dm.Param("Modelo").SetAsString(panel.GetValues("pModelo"));
  dm.Param("SomarProLabore").SetAsString(panel.GetValues("pSomarProLabore"));
  dm.Param("ContarProLabore").SetAsString(panel.GetValues("pContarProLabore"));
  dm.Param("pFiltroZeramento").SetAsString(panel.GetValues("pFiltroZeramento"));
  dm.Param("pReport").SetAsInteger(Report().Handle());

  // 7.
  dm.Executar();
  auto* dados = dynamic_cast<TnClientDataSet*>(dm.FindComponent("nClientDataSet"));
  if (dados == nullptr) {
    throw nrw::Exception(std::string("O módulo de dados ") + kClasseDM +
                         " não deixou o conjunto de dados nClientDataSet.");
  }
  dados->SetIndexFieldNames("InscrFederal");
  dados->First();
  nrw::TField& dados_inscr = dados->FieldByName("InscrFederal");
  nrw::TField& dados_tipo = dados->FieldByName("TipoInscr");
  nrw::TField& dados_qtd = dados->FieldByName("QtdFunc");
  nrw::TField& dados_total = dados->FieldByName("ValorTotal");
  nrw::TField& dados_regra = dados->FieldByName("ValorRegra");

  nrw::TField* empresa_codigo = nullptr;
  nrw::TField* empresa_nome = nullptr;
  for (; !dados->Eof(); dados->Next()) {
    // 8.
    const int64_t tipo = dados_tipo.AsInteger();
    const std::string inscr = nrw::FormatarInscrFederal(
        TipoDaBusca(tipo), nrw::FormatFloat("00000000000000", dados_inscr.AsFloat()), false);

    // 9. The lowest company code among those with an establishment of that number.
    if (!curEmpresa) {
      curEmpresa = nrw::ExecutarSQL(kSqlEmpresa, std::vector<Variant>{inscr}, true, true, -1, "",
                                    nullptr, true);
      empresa_codigo = &nrw::CDS(curEmpresa).FieldByName("CodigoEmpresa");
      empresa_nome = &nrw::CDS(curEmpresa).FieldByName("NomeEmpresa");
    } else {
      nrw::RefreshSQL(*curEmpresa, {inscr}, true);
    }
    TnClientDataSet& empresa = *curEmpresa;
    empresa.First();

    // 10.
    RepParam("pControleCustoEmpresa", empresa_codigo->AsString());

    // 11.
    auto linha = std::make_unique<TDadosListOrd>();
    const bool achou = !empresa.Eof();
    linha->CodigoEmpresa = achou ? static_cast<int32_t>(empresa_codigo->AsInteger()) : 0;
    linha->NomeEmpresa = achou ? empresa_nome->AsString() : "";
    if (estab.FindKey({Variant(inscr)})) linha->NomeEmpresa += " - " + estab_apelido.AsString();
    linha->InscrFederal = inscr;
    linha->TipoInscr = static_cast<int32_t>(tipo);
    linha->QtdFunc = static_cast<int32_t>(dados_qtd.AsInteger());
    linha->ValorTot = dados_total.AsFloat();
    linha->ValorRegra = dados_regra.AsFloat();
    FListaOrd.push_back(std::move(linha));
  }

  // 12.
  OrdenarLista(FListaOrd, ordenar);

  // 13. A type outside 1 to 3 keeps the punctuation of the line before it.
  TnTipoInscrFederal tipo_impressao = TnTipoInscrFederal::tifCNPJ;
  for (const std::unique_ptr<TDadosListOrd>& linha : FListaOrd) {
    if (linha->TipoInscr >= 1 && linha->TipoInscr <= 3) {
      tipo_impressao = static_cast<TnTipoInscrFederal>(linha->TipoInscr - 1);
    }
    RepParam("pLCodigoEmpresa", nrw::IntToStr(linha->CodigoEmpresa));
    RepParam("pLNomeEmpresa", linha->NomeEmpresa);
    RepParam("pLInscrFederal",
             nrw::FormatarInscrFederal(tipo_impressao, linha->InscrFederal, false));
    RepParam("pLQtdade", nrw::Trim(nrw::IntToStr(linha->QtdFunc)));
    RepParam("pLValor", nrw::FormatFloat(kMascaraValor, linha->ValorTot));
    RepParam("pLValorRegra", nrw::FormatFloat(kMascaraValor, linha->ValorRegra));
    RepPrintSection(kSecaoLinha);
  }
}

}  // namespace payroll_totals

using payroll_totals::TRptPayrollTotals;
NRW_REPORT_CLASS(TRptPayrollTotals)
