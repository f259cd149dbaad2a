// Statements of the landscape payroll totals, exactly as the database receives them before the
// filters are put in their markers.
#pragma once

#include <string>

namespace payroll_totals_wide {

//! Nine arms joined with "union": %0:s company, %1:s establishment, %2:s contract type, %3:s
//! event list A, %4:s event list B; dates :pDataInicial and :pDataFinal.
std::string SqlTotais();
//! %0:s company, %1:s establishment; dates :pDataIni and :pDataFim.
extern const char* const kSqlTerceiros;
//! Three arms joined with "UNION": %0:s company, %1:s establishment, %2:s contract type.
std::string SqlTotal13Salario();
//! Monthly deductions (arm 2 of the totals).
extern const char* const kEventosDesconto;
//! Termination remuneration (arm 5 of the totals).
extern const char* const kEventosRescisao;
//! Leaves contract types 04 and 08 out of every arm that joins the contract type.
extern const char* const kFiltroSemProLabore;

}  // namespace payroll_totals_wide
