// The SQLite dialect rewriting every statement passes through: any text is rewritten or raises
// nrw::Exception, and a statement without escapes, EXTRACT or parameters comes out unchanged.
#include <cstdlib>

#include "fuzz_input.h"
#include "nrw/core.h"
#include "sql/sql_lexer.h"
#include "sql/sqlite_dialect.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string sql(reinterpret_cast<const char*>(data), size);
  try {
    const nrw::AdaptedSql adapted = nrw::AdaptSqlForSQLite(sql);
    nrw::ScanSqlParamNames(sql);
    // Only escapes ("{"), parameters (":"), EXTRACT and TIMESTAMPADD are rewritten: both of the
    // latter hold an "x" or a "p".
    if (sql.find_first_of("{:xXpP") == std::string::npos && adapted.text != sql) {
      std::abort();
    }
  } catch (const nrw::Exception&) {
  }
  return 0;
}
