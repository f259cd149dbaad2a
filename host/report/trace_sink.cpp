// The engine records on a TraceSink; the sinks that write files are the run's.
#include "nrwhost/trace.h"

namespace nrw {

TraceSink::~TraceSink() = default;

}  // namespace nrw
