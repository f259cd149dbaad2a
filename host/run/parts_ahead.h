// Tells the database connection, as each separated part is printed, the values of the parts that
// follow it, so that a connection to a server can send their statements ahead in one round trip
// (TnConnection::PartsAhead). When the parts end, or fail, the connection is told so.
#pragma once

#include <cstddef>
#include <vector>

#include "nrwhost/database.h"
#include "nrwhost/session.h"

namespace nrw {

class PartsAhead {
 public:
  //! parts: those the run lists; printed: the indexes of those this process prints, in order.
  PartsAhead(const std::vector<SeparatorPart>& parts, std::vector<size_t> printed);
  ~PartsAhead();
  PartsAhead(const PartsAhead&) = delete;
  PartsAhead& operator=(const PartsAhead&) = delete;

  //! The part of that index is about to be printed.
  void Begin(size_t index);

 private:
  //! How many parts the connection is told of at a time: a batch and a half of PartForecast's.
  static constexpr size_t kWindow = 32;

  const std::vector<SeparatorPart>& parts_;
  std::vector<size_t> printed_;
  //! printed_[next_] is the part printing now; window_ holds the values of it and those after it.
  size_t next_ = 0;
  std::vector<std::vector<Variant>> window_;
  TnConnection* connection_;
};

}  // namespace nrw
