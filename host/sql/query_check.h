// Host-internal: what a report may send to a database opened for reading. Only queries run: a
// statement that is anything else (a change, VACUUM INTO, ATTACH, PRAGMA, COPY, DO, CALL, SET...)
// or that calls one of the server's functions that reach outside the database (files, settings,
// other sessions) is refused before it runs, with NotAQuery, so that the run can say who sent it.
#pragma once

#include <string>
#include <string_view>

#include "core/detailed_error.h"

namespace nrw {

class NotAQuery : public DetailedError {
 public:
  //! what: the statement's first word, or the function it calls ("VACUUM", "lo_export").
  NotAQuery(std::string what, const std::string& sql);
  const std::string& What() const { return what_; }

 private:
  std::string what_;
};

//! Raises NotAQuery unless the statement starts as a query (SELECT, WITH, VALUES, or TABLE, any of
//! them after opening brackets) and calls none of the functions that reach outside the database.
void RequireQuery(std::string_view sql);

}  // namespace nrw
