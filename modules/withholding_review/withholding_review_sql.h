// Statements of the withholding review.
#pragma once

#include <string>

namespace withholding_review {

extern const char* const kSqlDirfReg1;
extern const char* const kSqlDirfReg2;
//! Ordering of the beneficiary records: the base, then by name or by CPF/CNPJ.
extern const char* const kSqlOrdemDirfReg2;
extern const char* const kSqlOrdemNome;
extern const char* const kSqlOrdemInscricao;
extern const char* const kSqlDirfReg2Det;
extern const char* const kSqlDirfReg2DetIsento;
extern const char* const kSqlDirfReg2Sum;
extern const char* const kSqlDirfRRA;
//! The RRA monthly detail, composed from its two arms.
std::string SqlDirfRRADet();
//! The employee's latest contract and establishment, followed by the establishment predicate.
extern const char* const kSqlJoinFilial;
//! Companies of a processing group, followed by the group code.
extern const char* const kSqlGrupoEmpresas;

}  // namespace withholding_review
