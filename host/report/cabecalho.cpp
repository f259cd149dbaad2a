#include <string>
#include <utility>

#include "nrw/dataset.h"
#include "nrw/format.h"
#include "nrw/report.h"
#include "nrw/util.h"
#include "sql/sql_run.h"

namespace nrw {
namespace {

// The heading reads the company and its establishment 1, which carries the company's own
// registration. A host statement: it is not the module's, so it stays out of the trace.
constexpr const char* kEmpresaSql =
    " select E.NOMEEMPRESA, F.INSCRFEDERAL, F.TIPOINSCR from EMPRESA E left join ESTAB F on "
    "F.CODIGOEMPRESA = E.CODIGOEMPRESA and F.CODIGOESTAB = 1 where E.CODIGOEMPRESA = "
    ":pCodigoEmpresa ";

// Establishment registration types: 1 CNPJ, 2 CEI, 3 CPF (an employer that is a person).
TnTipoInscrFederal KindOfEstab(int64_t tipo_inscr) {
  switch (tipo_inscr) {
    case 2:
      return TnTipoInscrFederal::tifCEI;
    case 3:
      return TnTipoInscrFederal::tifCPF;
    default:
      return TnTipoInscrFederal::tifCNPJ;
  }
}

}  // namespace

TnCabecalhoRelatorio::TnCabecalhoRelatorio(TnrwReport& report, bool, bool, bool, bool, bool,
                                           std::vector<int> sections, int, int, int, std::string,
                                           std::string, bool)
    : report_(report), sections_(std::move(sections)) {}

TnCabecalhoRelatorio::~TnCabecalhoRelatorio() = default;

void TnCabecalhoRelatorio::Executar(int company) {
  const TDataSetRef rows = RunSql(kEmpresaSql, {Variant(company)});
  TnClientDataSet& empresa = *rows;
  std::string name;
  std::string inscr;
  if (!empresa.IsEmpty()) {
    name = empresa.FieldByName("NOMEEMPRESA").AsString();
    const std::string number = empresa.FieldByName("INSCRFEDERAL").AsString();
    inscr = FormatarInscrFederal(KindOfEstab(empresa.FieldByName("TIPOINSCR").AsInteger()), number);
  }
  TnpqPowerParam& panel = report_.GetParams();
  panel.SetValues("pNomeEmpresa", name);
  panel.SetValues("pInscrFed", inscr);
  panel.SetValues("pCodigoEmpresa", IntToStr(company));
}

void TnCabecalhoRelatorio::ImpressaoCabecalho() {
  for (const int section : sections_) report_.RepPrintSection(section);
}

void AvisosArredondamento(TnpqPowerParam& panel) {
  panel.Param("pAvisosArredondamento").SetValue("Valores arredondados para duas casas decimais.");
}

}  // namespace nrw
