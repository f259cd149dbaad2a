#include <string>
#include <string_view>
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
constexpr const char* kCodigoEmpresaCabecalho = "pCodigoEmpresaCabecalho";

constexpr const char* kEmpresaSql =
    " select E.NOMEEMPRESA, F.INSCRFEDERAL, F.TIPOINSCR from EMPRESA E left join ESTAB F on "
    "F.CODIGOEMPRESA = E.CODIGOEMPRESA and F.CODIGOESTAB = 1 where E.CODIGOEMPRESA = "
    ":pCodigoEmpresa ";

// Registration types, as everywhere in the database: 1 CPF, 2 CNPJ, 3 CEI. A type outside them is
// read from the number of digits, so that the number is never punctuated with a foreign mask.
TnTipoInscrFederal KindOfEstab(int64_t tipo_inscr, std::string_view number) {
  switch (tipo_inscr) {
    case 1:
      return TnTipoInscrFederal::tifCPF;
    case 2:
      return TnTipoInscrFederal::tifCNPJ;
    case 3:
      return TnTipoInscrFederal::tifCEI;
    default:
      break;
  }
  switch (LimparStrToInteger(number).size()) {
    case 11:
      return TnTipoInscrFederal::tifCPF;
    case 12:
      return TnTipoInscrFederal::tifCEI;
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
    inscr = FormatarInscrFederal(KindOfEstab(empresa.FieldByName("TIPOINSCR").AsInteger(), number),
                                 number);
  }
  // The code goes to a variable of its own: "pCodigoEmpresa" is the panel's company selection,
  // which the rest of the run (and a later run) still reads.
  TnpqPowerParam& panel = report_.GetParams();
  panel.SetValues("pNomeEmpresa", name);
  panel.SetValues("pInscrFed", inscr);
  panel.SetValues(kCodigoEmpresaCabecalho, IntToStr(company));
}

void TnCabecalhoRelatorio::ImpressaoCabecalho() {
  for (const int section : sections_) report_.RepPrintSection(section);
}

void AvisosArredondamento(TnpqPowerParam& panel) {
  panel.Param("pAvisosArredondamento").SetValue("Valores arredondados para duas casas decimais.");
}

}  // namespace nrw
