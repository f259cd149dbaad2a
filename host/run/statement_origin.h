// Host-internal: who sent a statement the database refused for not being a query. The SQL layer
// knows the statement, the session knows whose work was running: the layout's (its main dataset,
// its record datasets) or the module's (its hooks and its Imprimir).
#pragma once

#include <functional>
#include <string>

namespace nrw {

//! Runs work; a statement it sent that is no query is raised again with a message naming who sent
//! it ("O layout RptX.json", "O módulo RptX"), the statement in the detail.
void NamingWhoSentStatements(const std::string& who, const std::function<void()>& work);

}  // namespace nrw
