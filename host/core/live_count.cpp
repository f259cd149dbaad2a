#include "core/live_count.h"

#include <atomic>

#include "nrw/events.h"
#include "nrwhost/live_objects.h"

namespace nrw {
namespace {

std::atomic<int>& Counter(LiveKind kind) {
  static std::atomic<int> counters[4];
  return counters[static_cast<int>(kind)];
}

}  // namespace

void AdjustLiveCount(LiveKind kind, int delta) noexcept {
  Counter(kind).fetch_add(delta, std::memory_order_relaxed);
}

void NoteEventBinding(int delta) noexcept { AdjustLiveCount(LiveKind::EventBinding, delta); }

LiveObjects CountLiveObjects() {
  LiveObjects live;
  live.datasets = Counter(LiveKind::DataSet).load(std::memory_order_relaxed);
  live.ranges = Counter(LiveKind::Range).load(std::memory_order_relaxed);
  live.event_bindings = Counter(LiveKind::EventBinding).load(std::memory_order_relaxed);
  live.progress_boxes = Counter(LiveKind::ProgressBox).load(std::memory_order_relaxed);
  return live;
}

}  // namespace nrw
