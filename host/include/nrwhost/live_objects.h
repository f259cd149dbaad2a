// Application API: how many of the host's objects that a module must give back are alive, so that
// a host (or a test of failure paths) can see that a run left none behind. The counters are global
// state, kept by the host's one thread.
#pragma once

#include "nrw/api.h"

namespace nrw {

struct LiveObjects {
  //! TnClientDataSet objects, the host's own (main dataset) included.
  int datasets = 0;
  //! Cursors restricted to a key range (SetRange not yet cancelled).
  int ranges = 0;
  //! EventBinding objects that hold a handler on a host event.
  int event_bindings = 0;
  //! TnFraProgresso boxes.
  int progress_boxes = 0;
  friend bool operator==(const LiveObjects&, const LiveObjects&) = default;
};

NRW_API LiveObjects CountLiveObjects();

}  // namespace nrw
