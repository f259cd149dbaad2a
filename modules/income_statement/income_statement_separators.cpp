// Separators: the statement that lists the combinations (company, establishment, contract,
// beneficiary) that have data, and the answer whether a part is to be produced.
#include <algorithm>

#include "common/utf16.h"
#include "income_statement_sql.h"
#include "lookup3.h"
#include "nrw/format.h"
#include "nrw/guards.h"
#include "rpt_income_statement.h"

namespace income_statement {

using nrw::FilterInterval;
using nrw::SameText;
using nrw::Trim;
using nrw::Variant;

namespace {

void LittleEndian(int32_t value, uint8_t (&bytes)[4]) {
  const auto bits = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(bits >> (8 * i));
}

// Apostrophes become blanks, then the text is trimmed.
std::string NormalizarBeneficiario(std::string texto) {
  std::replace(texto.begin(), texto.end(), '\'', ' ');
  return Trim(texto);
}

}  // namespace

uint32_t HashSeparador(const TnSeparador& separador) {
  uint8_t bytes[4];
  LittleEndian(separador.CodigoEmpresa, bytes);
  uint32_t hash = hashlittle(bytes, 4, 0);
  LittleEndian(separador.CodigoEstab, bytes);
  hash = hashlittle(bytes, 4, hash);
  LittleEndian(separador.CodigoFuncContr, bytes);
  hash = hashlittle(bytes, 4, hash);
  const std::vector<uint8_t> data = nrw::common::Utf16LittleEndian(separador.Beneficiarios);
  return hashlittle(data.data(), data.size(), hash);
}

std::string TRptIncomeStatement::SQLSeparador() {
  const nrw::TnpqPowerParam& panel = Report().GetParams();
  const std::string emissao =
      nrw::ValorParaSQL(Variant(nrw::StrToDateDef(RepParam("pDataEmissao"), nrw::TDateTime())));
  const std::string publicar =
      nrw::ValorParaSQL(Variant(nrw::StrToIntDef(RepParam("pPublicarBrevix"), 0)));
  // The base year is a date: compared as a date literal, not as the panel's text.
  std::string filtro =
      "s1_Dirfreg2.ANOBASE = " +
      nrw::ValorParaSQL(Variant(panel.GetValues("pAnoBase1")), nrw::TFieldType::Date);
  struct Restricao {
    const char* param;
    const char* column;
    int kind;
  };
  for (const Restricao& r :
       {Restricao{"pCodigoEmpresa", "s1_Dirfreg2.CODIGOEMPRESA", 1},
        Restricao{"pCodigoEstab", "s0_Dirfregbeneficiario.CODIGOESTAB", 1},
        Restricao{"pBeneficiarios", "s0_Dirfregbeneficiario.INSCRFEDERALBENEF", 2}}) {
    if (panel.ParamUnCheck(r.param)) {
      filtro += FilterInterval({r.column}, Trim(panel.GetValues(r.param)), {r.kind}, 0, true, 0);
    }
  }
  const std::string contrato =
      panel.ParamUnCheck("pCodigoFuncContr")
          ? FilterInterval({"s1_Funccontrato.CODIGOFUNCCONTR"},
                           Trim(panel.GetValues("pCodigoFuncContr")), {1}, 0, true, 0)
          : "";
  return nrw::Format(kSqlSeparador, {emissao, publicar, filtro, contrato});
}

void TRptIncomeStatement::DoSQLSeparadorEvent(nrw::TnpqPowerParam& _APowerParam,
                                              const std::string& _AConsultFields,
                                              const std::string& _ATabela,
                                              const std::string& _AFiltro, int _ARecNoSeparador,
                                              std::string& _ASQLOriginal) {
  MostrarProgresso();
  ArmazenarSelecao();
  _ASQLOriginal = "select distinct T_T." + _AConsultFields + " from  ( " + SQLSeparador() +
                  ") T_T  order by T_T." + _AConsultFields;
  // After the last separator: the list, then the datasets reloaded for the whole selection.
  if (_APowerParam.GetSeparadoresCount() == _ARecNoSeparador + 1) {
    MontarListaSeparador();
    LiberarDatasets();
    ArmazenarSelecao();
    if (_APowerParam.GetSeparadoresCount() == 1 || FListSeparador.size() == 1) {
      FProgresso->Hide();
    }
  }
}

void TRptIncomeStatement::MostrarProgresso() {
  if (!FProgresso) FProgresso = nrw::TnFraProgresso::CriarProgresso(this);
  FProgresso->SetEhCircular(true);
  FProgresso->MostrarSimples(nullptr);
  FProgresso->ConfigurarProgressoTotal(0, "Criando Lista de Separadores, Aguarde...");
  FProgresso->IncProgressoTotal();
}

void TRptIncomeStatement::MontarListaSeparador() {
  FListSeparador.clear();
  FHashesSeparador.clear();
  FSeqSeparador = -1;
  // Released on every path.
  TDataSetRef lista = nrw::ExecutarSQL(SQLSeparador(), false, false, -1, "", nullptr, true);
  const nrw::ScopeExit liberar([&lista] { nrw::DestruirSQL(lista); });
  nrw::TnClientDataSet& linhas = nrw::CDS(lista);
  FProgresso->ConfigurarProgressoTotal(linhas, "Gerando a Lista de Separadores, Aguarde...");
  for (linhas.First(); !linhas.Eof(); linhas.Next()) {
    FProgresso->IncProgressoTotal();
    const TnSeparador separador = SeparadorDaLinha(linhas);
    FHashesSeparador.insert(HashSeparador(separador));
    FListSeparador.push_back(separador);
  }
}

TnSeparador TRptIncomeStatement::SeparadorDaLinha(nrw::TnClientDataSet& linhas) {
  nrw::TnpqPowerParam& panel = Report().GetParams();
  TnSeparador separador;
  for (int i = 0; i < panel.GetSeparadoresCount(); ++i) {
    const nrw::TnSeparadorItem& item = panel.GetSeparadores(i);
    if (item.Ativo != 1) continue;
    if (SameText(item.Param, "pCodigoEmpresa")) {
      separador.CodigoEmpresa =
          static_cast<int32_t>(linhas.FieldByName("CodigoEmpresa").AsInteger());
    } else if (SameText(item.Param, "pCodigoEstab")) {
      separador.CodigoEstab = static_cast<int32_t>(linhas.FieldByName("CodigoEstab").AsInteger());
    } else if (SameText(item.Param, "pBeneficiarios")) {
      // Normalised as the question normalises the panel's text, so that every listed value
      // finds its own part.
      separador.Beneficiarios =
          NormalizarBeneficiario(linhas.FieldByName("INSCRFEDERALBENEF").AsString());
    } else if (SameText(item.Param, "pCodigoFuncContr")) {
      separador.CodigoFuncContr =
          static_cast<int32_t>(linhas.FieldByName("CodigoFuncContr").AsInteger());
    }
  }
  return separador;
}

TnSeparador TRptIncomeStatement::SeparadorAtual() {
  nrw::TnpqPowerParam& panel = Report().GetParams();
  TnSeparador atual;
  for (int i = 0; i < panel.GetSeparadoresCount(); ++i) {
    const nrw::TnSeparadorItem& item = panel.GetSeparadores(i);
    if (item.Ativo != 1 || !panel.ParamUnCheck(item.Param)) continue;
    nrw::TnpqParamItem& param = panel.Param(item.Param);
    if (SameText(item.Param, "pCodigoEmpresa")) {
      atual.CodigoEmpresa = static_cast<int32_t>(param.GetAsInteger());
    } else if (SameText(item.Param, "pCodigoEstab")) {
      atual.CodigoEstab = static_cast<int32_t>(param.GetAsInteger());
    } else if (SameText(item.Param, "pCodigoFuncContr")) {
      atual.CodigoFuncContr = static_cast<int32_t>(param.GetAsInteger());
    } else if (SameText(item.Param, "pBeneficiarios")) {
      atual.Beneficiarios = NormalizarBeneficiario(param.GetAsString());
    }
  }
  return atual;
}

void TRptIncomeStatement::DoListaValueParamsSeparador(nrw::TnrwReport& _APowerQuery,
                                                      bool& _AGerarFiltro) {
  // The first question after a rebuild is always answered yes, and so is every question outside
  // a separated production.
  _AGerarFiltro = FHashesSeparador.count(HashSeparador(SeparadorAtual())) > 0 ||
                  FSeqSeparador < 0 || !Report().GerandoSeparado();
  if (_AGerarFiltro) ++FSeqSeparador;
  if (FProgresso) {
    FProgresso->IncProgressoTotal(
        "Gerando Separador de Relatório Seq: " + nrw::FormatInteger("0000", FSeqSeparador) +
        " de um Total " +
        nrw::FormatInteger("0000", static_cast<int64_t>(FListSeparador.size()) - 1));
    FProgresso->IncProgressoTotal();
  }
  if (!Report().GerandoSeparado() && FProgresso) FProgresso->Hide();
}

}  // namespace income_statement
