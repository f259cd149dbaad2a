#include "siblings/salary_totals_exporter.h"

#include <cmath>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "data/dataset_builder.h"
#include "nrw/format.h"
#include "nrw/handles.h"
#include "nrw/report.h"
#include "nrw/shared_data.h"
#include "nrw/util.h"
#include "nrwhost/settings.h"
#include "siblings/sibling_params.h"
#include "sql/sql_run.h"

namespace nrw {
namespace {

constexpr const char* kClasse = "TSalaryTotalsExporter";

// One row per contract, establishment and service taker calculated in the competence, with the
// remuneration of those calculations: the payroll's total-remuneration event and the events typed
// as remuneration (5). A contract that served a service taker is reported under the taker's
// registration; any other under its establishment's.
constexpr const char* kSqlCalculos =
    "select P.CODIGOEMPRESA, FP.CODIGOFUNCCONTR, L.CODIGOESTAB, E.TIPOINSCR, E.INSCRFEDERAL, "
    "T.CODIGOTOMADOR, T.TIPOINSCR as TIPOINSCRTOMADOR, T.INSCRFEDERAL as INSCRFEDERALTOMADOR, "
    "TC.TIPOCONTR, coalesce(sum(CE.VALOREVENTO), 0) as REMUNERACAO "
    "from PERIODOCALCULO P "
    "join FUNCPERCALCULO FP on FP.CODIGOEMPRESA = P.CODIGOEMPRESA and FP.CODIGOPERCALCULO = "
    "P.CODIGOPERCALCULO "
    "join FUNCCONTRATO FC on FC.CODIGOEMPRESA = FP.CODIGOEMPRESA and FC.CODIGOFUNCCONTR = "
    "FP.CODIGOFUNCCONTR "
    "left join TIPOCONTRATO TC on TC.CODIGOTIPOCONTR = FC.CODIGOTIPOCONTR "
    "left join FUNCLOCAL L on L.CODIGOEMPRESA = FP.CODIGOEMPRESA and L.CODIGOFUNCCONTR = "
    "FP.CODIGOFUNCCONTR and L.DATATRANSF = FP.DATALOCAL "
    "left join ESTAB E on E.CODIGOEMPRESA = L.CODIGOEMPRESA and E.CODIGOESTAB = L.CODIGOESTAB "
    "left join FUNCPERCALCULOTOMADOR FT on FT.CODIGOEMPRESA = FP.CODIGOEMPRESA and "
    "FT.CODIGOPERCALCULO = FP.CODIGOPERCALCULO and FT.CODIGOFUNCCONTR = FP.CODIGOFUNCCONTR "
    "left join TOMADOR T on T.CODIGOEMPRESA = FT.CODIGOEMPRESA and T.CODIGOTOMADOR = "
    "FT.CODIGOTOMADOR "
    "left join CALCULOEVENTO CE on CE.CODIGOEMPRESA = FP.CODIGOEMPRESA and CE.CODIGOPERCALCULO = "
    "FP.CODIGOPERCALCULO and CE.CODIGOFUNCCONTR = FP.CODIGOFUNCCONTR and CE.CODIGOEVENTO in "
    "(select EV.CODIGOEVENTO from EVENTO EV where EV.CODIGOESTRUT = '99.02.01.02.015' or "
    "EV.TIPOEVENTO = 5) "
    "where P.COMPET between :pInicio and :pFim %0:s "
    "group by P.CODIGOEMPRESA, FP.CODIGOFUNCCONTR, L.CODIGOESTAB, E.TIPOINSCR, E.INSCRFEDERAL, "
    "T.CODIGOTOMADOR, T.TIPOINSCR, T.INSCRFEDERAL, TC.TIPOCONTR "
    "order by P.CODIGOEMPRESA, FP.CODIGOFUNCCONTR, L.CODIGOESTAB";

// Contract types 4 (director) and 8 (partner) are paid pro-labore, whether the type is kept as a
// number or as text with a leading zero.
bool ProLabore(const std::string& tipo) {
  std::string codigo = Trim(tipo);
  const size_t primeiro = codigo.find_first_not_of('0');
  codigo = primeiro == std::string::npos ? std::string() : codigo.substr(primeiro);
  return codigo == "4" || codigo == "8";
}

//! The registration number's digits as a number; nothing when it has none (or too many).
std::optional<int64_t> Numero(const std::string& inscr) {
  const std::string digitos = LimparStrToInteger(inscr);
  if (digitos.empty() || digitos.size() > 18) return std::nullopt;
  return std::stoll(digitos);
}

int64_t Centavos(double valor) { return std::llround(valor * 100); }

struct Totais {
  int64_t tipo_inscr = 0;
  std::set<std::pair<int64_t, int64_t>> contratos;  // (company, contract) counted
  int64_t total_centavos = 0;
  int64_t regra_centavos = 0;
};

// Company and establishment (-1: none found) of calculations left out, with their contracts.
using SemInscricao = std::map<std::pair<int64_t, int64_t>, std::set<int64_t>>;

std::string Mensagem(const std::pair<int64_t, int64_t>& local, size_t contratos) {
  const auto& [empresa, estab] = local;
  const bool um = contratos == 1;
  std::string texto = "Empresa " + IntToStr(empresa);
  texto += estab < 0 ? ": " + IntToStr(static_cast<int64_t>(contratos)) +
                           (um ? " contrato calculado sem estabelecimento ficou"
                               : " contratos calculados sem estabelecimento ficaram")
                     : ", estabelecimento " + IntToStr(estab) + ": " +
                           IntToStr(static_cast<int64_t>(contratos)) +
                           (um ? " contrato calculado sem inscrição federal ficou"
                               : " contratos calculados sem inscrição federal ficaram");
  return texto + " fora dos totais.";
}

TnrwReport& Relatorio(const SiblingParams& params) {
  const std::string texto = params.Text("pReport");
  int64_t handle = 0;
  TnrwReport* report = nullptr;
  if (TryStrToInt(texto, handle) && handle >= INT32_MIN && handle <= INT32_MAX) {
    report = dynamic_cast<TnrwReport*>(ResolveHandle(static_cast<int32_t>(handle)));
  }
  if (report == nullptr) params.Fail("pReport", "'" + texto + "' não é de relatório.");
  return *report;
}

[[maybe_unused]] const bool kRegistrada = [] {
  RegistrarClasseDM(kClasse, [] { return std::make_unique<TSalaryTotalsExporter>(); });
  return true;
}();

}  // namespace

TSalaryTotalsExporter::TSalaryTotalsExporter()
    : nClientDataSet_(std::make_unique<TnClientDataSet>()) {
  AddComponent("nClientDataSet", *nClientDataSet_);
}

TSalaryTotalsExporter::~TSalaryTotalsExporter() = default;

void TSalaryTotalsExporter::Executar() {
  const SiblingParams params(kClasse, Params());
  const int64_t grupo = params.IntegerOrBlank("CodigoGrupoProc", 0);
  const std::string empresas = params.Selection("Empresas");
  const std::string estabs = params.Selection("Estabs");
  const TDateTime compet = params.Date("Compet");
  const bool mensal = Trim(params.Text("Modelo")) == "1";
  const bool somar_pro_labore = Trim(params.Text("SomarProLabore")) == "1";
  const bool contar_pro_labore = Trim(params.Text("ContarProLabore")) == "1";
  // Origins of accounting entries: the reference host keeps no accounting, so a valid selection
  // changes nothing.
  params.Selection("pFiltroZeramento");
  TnrwReport& report = Relatorio(params);

  const std::string selecao = EmpresasGrupoCalculo(static_cast<int>(grupo), empresas, true);
  const std::string filtro =
      params.Filter("Empresas", selecao, "P.CODIGOEMPRESA") +
      params.Filter("Empresas", PegarCodigoEmpresaDireitoUsuario(), "P.CODIGOEMPRESA") +
      params.Filter("Estabs", estabs, "L.CODIGOESTAB");
  const TDateTime inicio = mensal ? StartOfTheMonth(compet) : StartOfTheYear(compet);
  const TDateTime fim = mensal ? EndOfTheMonth(compet) : EndOfTheYear(compet);
  const TDataSetRef resultado = RunSql(Format(kSqlCalculos, {filtro}), {inicio, fim});
  TnClientDataSet& calculos = *resultado;

  std::map<int64_t, Totais> totais;
  SemInscricao sem_inscricao;
  TField& empresa = calculos.FieldByName("CODIGOEMPRESA");
  TField& contrato = calculos.FieldByName("CODIGOFUNCCONTR");
  TField& estab = calculos.FieldByName("CODIGOESTAB");
  TField& tomador = calculos.FieldByName("CODIGOTOMADOR");
  TField& remuneracao = calculos.FieldByName("REMUNERACAO");
  for (calculos.First(); !calculos.Eof(); calculos.Next()) {
    const bool de_tomador = !tomador.IsNull();
    const std::optional<int64_t> numero = Numero(
        calculos.FieldByName(de_tomador ? "INSCRFEDERALTOMADOR" : "INSCRFEDERAL").AsString());
    const std::pair<int64_t, int64_t> chave{empresa.AsInteger(), contrato.AsInteger()};
    if (!numero) {
      sem_inscricao[{chave.first, estab.IsNull() ? -1 : estab.AsInteger()}].insert(chave.second);
      continue;
    }
    // One row per number: the type of the first calculation found for it stands.
    const auto [encontrada, nova] = totais.try_emplace(*numero);
    Totais& linha = encontrada->second;
    if (nova) {
      linha.tipo_inscr =
          calculos.FieldByName(de_tomador ? "TIPOINSCRTOMADOR" : "TIPOINSCR").AsInteger();
    }
    const bool pro_labore = ProLabore(calculos.FieldByName("TIPOCONTR").AsString());
    const int64_t centavos = Centavos(remuneracao.AsFloat());
    if (!pro_labore || contar_pro_labore) linha.contratos.insert(chave);
    if (!pro_labore || somar_pro_labore) linha.total_centavos += centavos;
    linha.regra_centavos += centavos;
  }

  TnDataSetBuilder builder({{"InscrFederal", TFieldType::Float},
                            {"TipoInscr", TFieldType::Integer},
                            {"QtdFunc", TFieldType::Integer},
                            {"ValorTotal", TFieldType::Float},
                            {"ValorRegra", TFieldType::Float}});
  for (const auto& [numero, linha] : totais) {
    builder.AppendFloat(static_cast<double>(numero));
    builder.AppendInteger(linha.tipo_inscr);
    builder.AppendInteger(static_cast<int64_t>(linha.contratos.size()));
    builder.AppendFloat(static_cast<double>(linha.total_centavos) / 100);
    builder.AppendFloat(static_cast<double>(linha.regra_centavos) / 100);
    builder.EndRow();
  }
  nClientDataSet_ = DataSetHost::Make(builder.Finish());
  AddComponent("nClientDataSet", *nClientDataSet_);
  for (const auto& [local, contratos] : sem_inscricao) {
    report.MsgMensagem(1, Mensagem(local, contratos.size()));
  }
}

}  // namespace nrw
