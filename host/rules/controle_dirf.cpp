#include <string>
#include <string_view>

#include "nrw/dirf.h"
#include "nrw/format.h"
#include "nrw/shared_data.h"
#include "nrw/sql.h"
#include "nrw/util.h"
#include "sql/sql_run.h"

namespace nrw {
namespace {

// Limits of the year: RENDIMENTOANUAL keeps one row per year, dated on any day of it.
constexpr const char* kSqlLimites =
    "select LIMITETRIBUTAVEL, LIMITEISENTOTRIBEXCLUSIVA from RENDIMENTOANUAL "
    "where ANO between :pInicioAno and :pFimAno order by ANO";

// Every contract admitted up to the end of the year, oldest first per company, so that the last
// row seen for a CPF is its latest contract. The latest contract is picked here rather than in
// SQL because the same CPF may be written with and without punctuation on different people.
constexpr const char* kSqlContratos =
    "select FC.CODIGOEMPRESA, FP.CPFFUNC, TC.TIPOCONTR from FUNCCONTRATO FC "
    "join FUNCPESSOA FP on FP.CODIGOFUNCPESSOA = FC.CODIGOFUNCPESSOA "
    "left join TIPOCONTRATO TC on TC.CODIGOTIPOCONTR = FC.CODIGOTIPOCONTR "
    "where FC.DATAADM <= :pFimAno %s "
    "order by FC.CODIGOEMPRESA, FC.DATAADM, FC.CODIGOFUNCCONTR";

// CPF digits without leading zeros, so that a number kept without its leading zero still matches.
std::string ChaveCPF(std::string_view inscr) {
  const std::string digits = LimparStrToInteger(inscr);
  const size_t first = digits.find_first_not_of('0');
  return first == std::string::npos ? std::string() : digits.substr(first);
}

// Contract types 4 and 8 are directors. TIPOCONTR is a number; a contract without a type (the
// left join found none) or with one that is no number is an employee.
bool TipoContratoDiretor(const TField& tipo) {
  int64_t code = 0;
  if (tipo.IsNull() || !TryStrToInt(tipo.AsString(), code)) return false;
  return code == 4 || code == 8;
}

bool SemRetido(double withheld) { return RoundValor(withheld, 2) == 0; }

}  // namespace

TnControleDIRF::TnControleDIRF(const std::string& companies, int group, TDateTime base_date) {
  const std::string selection =
      group != 0 ? EmpresasGrupoCalculo(group, companies, true) : companies;
  const TDateTime fim_ano = EndOfTheYear(base_date);

  // The controller's statements are the host's: they stay off the trace of the module's run.
  const TDataSetRef limites = RunSql(kSqlLimites, {StartOfTheYear(base_date), fim_ano});
  if (!limites->IsEmpty()) {
    limite_tributavel_ = limites->Fields(0).AsFloat();
    limite_isento_ = limites->Fields(1).AsFloat();
  }

  const std::string filtro = FilterInterval({"FC.CODIGOEMPRESA"}, selection, {1}, 0, true, 0);
  employees_ = RunSqlDerived<Employees>(
      Format(kSqlContratos, {filtro}), {fim_ano}, [](TnClientDataSet& rows) {
        Employees employees;
        TField& empresa = rows.Fields(0);
        TField& cpf = rows.Fields(1);
        TField& tipo = rows.Fields(2);
        for (rows.First(); !rows.Eof(); rows.Next()) {
          std::string chave = ChaveCPF(cpf.AsString());
          if (chave.empty()) continue;
          employees[static_cast<int>(empresa.AsInteger())][std::move(chave)].director =
              TipoContratoDiretor(tipo);
        }
        return employees;
      });
}

TnControleDIRF::~TnControleDIRF() = default;

bool TnControleDIRF::PularRegistro(int company, int tipo_inscr, const std::string& inscr,
                                   double income, double withheld, double exempt) {
  uint16_t option = OpIrrfTerc;
  if (tipo_inscr == 2) {
    option = OpIrrfOutEmp;
  } else if (const auto found = employees_->find(company); found != employees_->end()) {
    if (const auto person = found->second.find(ChaveCPF(inscr)); person != found->second.end()) {
      option = person->second.director ? OpIrrfDiretor : OpIrrfFunc;
    }
  }

  bool pular = false;
  switch (option) {
    case 2:
      pular = SemRetido(withheld);
      break;
    case 3:
      pular = SemRetido(withheld) && income < limite_tributavel_ && exempt < limite_isento_;
      break;
    case 4:
      pular = true;
      break;
    default:  // 0, 1 and unknown options keep every beneficiary
      break;
  }
  return pular || PularRegistroSemRetido(0, withheld);
}

bool TnControleDIRF::PularRegistroSemRetido(int code, double withheld) const {
  return PularSemRetidoAno && SemRetido(withheld);
}

}  // namespace nrw
