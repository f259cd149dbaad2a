#include "run/statement_origin.h"

#include "sql/query_check.h"

namespace nrw {

void NamingWhoSentStatements(const std::string& who, const std::function<void()>& work) {
  try {
    work();
  } catch (const NotAQuery& refused) {
    throw DetailedError(who + " pediu ao banco de dados uma instrução que não é uma consulta (" +
                            refused.What() + "): um relatório só lê o banco de dados.",
                        refused.Detail());
  }
}

}  // namespace nrw
