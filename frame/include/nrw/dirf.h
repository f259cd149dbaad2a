// Withholding-declaration rules of the host: which beneficiaries a declaration report leaves out,
// by beneficiary category and the option chosen for it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "nrw/api.h"
#include "nrw/core.h"
#include "nrw/dataset.h"
#include "nrw/datetime.h"

namespace nrw {

//! Option texts of the four category parameters (the choices, one per line, "value=text").
NRW_API extern const char* const OP_PARAM_FUNCIONARIO;
NRW_API extern const char* const OP_PARAM_DIRETOR;
NRW_API extern const char* const OP_PARAM_TERCEIRO;
NRW_API extern const char* const OP_PARAM_OUTEMP;

//! Decides whether a beneficiary is left out. Built for a company selection, a processing group
//! and a base date: it loads the year's limits and, per company, the CPFs of its employees with
//! the contract type of their latest contract. Categories: registration type 2 is another company;
//! a CPF that is an employee of the company is a director when the contract type's TIPOCONTR is 4
//! or 8, an employee otherwise; any other CPF is a third party.
//! Options: 0 or 1 never skip; 2 skips when the withheld tax at 2 decimals is 0; 3 skips when the
//! withheld tax is 0, the income is below the taxable limit and the exempt total is below the
//! exempt limit; 4 skips every beneficiary of the category; other values never skip.
//! PularSemRetidoAno adds to any option: a beneficiary whose withheld tax at 2 decimals is 0 is
//! skipped as well. Missing limits of the year count as 0.
class NRW_API TnControleDIRF : public TObject {
 public:
  TnControleDIRF(const std::string& companies, int group, TDateTime base_date);
  ~TnControleDIRF() override;

  uint16_t OpIrrfFunc = 0;
  uint16_t OpIrrfDiretor = 0;
  uint16_t OpIrrfTerc = 0;
  uint16_t OpIrrfOutEmp = 0;
  //! Leave out beneficiaries without tax withheld in the year.
  bool PularSemRetidoAno = false;

  bool PularRegistro(int company, int tipo_inscr, const std::string& inscr, double income,
                     double withheld, double exempt);
  bool PularRegistroSemRetido(int code, double withheld) const;

  double LimiteTributavel() const { return limite_tributavel_; }
  double LimiteIsento() const { return limite_isento_; }

 private:
  struct Employee {
    bool director = false;
  };
  //! company -> CPF digits -> employee.
  using Employees = std::map<int, std::map<std::string, Employee>>;
  double limite_tributavel_ = 0;
  double limite_isento_ = 0;
  //! Shared by the controllers of one state of the database: one per separated part reads the
  //! same contracts.
  std::shared_ptr<const Employees> employees_;
};

//! A partner's quota sentence.
NRW_API std::string ObterMensagemCotasSocio(const std::string& quotas, double capital);

//! Field map over the income received cumulatively (DIRFRENDRECEBACUM) rows.
class NRW_API TnFpaMapDIRFRendRecebAcum : public TnFieldMap {
 public:
  ~TnFpaMapDIRFRendRecebAcum() override;
  TField* CodigoEmpresa = nullptr;
  TField* AnoBase = nullptr;
  TField* TipoInscrBenef = nullptr;
  TField* InscrFederalBenef = nullptr;
  TField* Seq = nullptr;
  TField* NaturezaRRA = nullptr;
  TField* NumProcessoRRA = nullptr;
  TField* QtdeMeses = nullptr;
  TField* RendTributavel = nullptr;
  TField* DespesaAcaoJud = nullptr;
  TField* PrevidenciaOficial = nullptr;
  TField* PensaoAlimenticia = nullptr;
  TField* ImpostoRetido = nullptr;
  TField* ParcAposentadoAcimaSessentaAno = nullptr;
  TField* RendIsentoMolestia = nullptr;
  void Fields(TnFieldBinder& bind) override;
};

}  // namespace nrw
