// Host-internal: what the statements of the next separated parts will most likely be. A module runs
// the same statements for every part, its value written into them (a literal of the text, or a
// value): the statements one part sent, with that part's values replaced by another's, are a
// forecast of the other part's. A connection whose round trips are dear (a server) sends the
// forecasts ahead in one batch and keeps their rows until asked; a statement is served from them
// only when its text, values and conversion are exactly the forecast's, so that a wrong forecast
// costs its run and nothing else.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "nrw/variant.h"
#include "sql/sql_rewriter.h"

namespace nrw {

//! One part's values: the separators' values, then its listing row's other columns, in an order
//! that is the same for every part of a run.
using PartValues = std::vector<Variant>;

struct ForecastRun {
  std::string sql;
  SqlConversion conversion = SqlConversion::kOn;
  std::vector<Variant> values;
  //! Which of the parts given to Begin it is for (0: the one beginning).
  size_t part = 0;
};

class PartForecast {
 public:
  //! At most this many parts are forecast in one batch; the next batch is forecast when half of
  //! the parts of the last one have begun, so that the server runs it while the rest print (the
  //! parts given to Begin should reach one and a half batches ahead).
  static constexpr size_t kPartsAhead = 16;

  //! A part begins: parts[0] its values, then those of the parts after it (in the order they will
  //! run). Answers the statements to send ahead for the parts given that were not forecast yet,
  //! when the time for a batch has come (none before a part sent a statement): those of the last
  //! part that sent any, for each of those parts. An empty list ends the parts: nothing is
  //! recorded after it.
  std::vector<ForecastRun> Begin(const std::vector<PartValues>& parts);

  //! A statement of the current part went to the database (or was served from a forecast).
  void Record(const std::string& sql, SqlConversion conversion, const std::vector<Variant>& values);

  bool Active() const { return active_; }

 private:
  struct Sent {
    std::string sql;
    SqlConversion conversion;
    std::vector<Variant> values;
  };

  bool active_ = false;
  //! Parts begun, and the last one already forecast.
  size_t begun_ = 0;
  size_t forecast_through_ = 0;
  PartValues current_;
  std::vector<Sent> recording_;
  //! The statements of the last part that sent any, and its values.
  PartValues model_values_;
  std::vector<Sent> model_;
};

//! The statement as the part of values to would send it, given what the part of values from sent:
//! each text literal and each value equal to one of from's is replaced by to's in its place.
//! Answers false when nothing was replaced (the statement does not depend on the part).
bool ForecastStatement(const PartValues& from, const PartValues& to, std::string& sql,
                       std::vector<Variant>& values);

}  // namespace nrw
