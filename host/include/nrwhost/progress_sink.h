// Application API: where the host shows the progress boxes modules open (TnFraProgresso). Without a
// sink they are kept but not shown.
#pragma once

#include <functional>
#include <string>

#include "nrw/api.h"

namespace nrw {

//! (caption, position, total, visible) at every change of a progress box.
using ProgressSink = std::function<void(const std::string&, int, int, bool)>;

//! Shows progress boxes through the sink for the scope's lifetime; the previous sink comes back
//! afterwards.
class NRW_API ProgressSinkScope {
 public:
  explicit ProgressSinkScope(ProgressSink sink);
  ~ProgressSinkScope();
  ProgressSinkScope(const ProgressSinkScope&) = delete;
  ProgressSinkScope& operator=(const ProgressSinkScope&) = delete;

 private:
  ProgressSink previous_;
};

}  // namespace nrw
