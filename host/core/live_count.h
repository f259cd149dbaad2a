// Host-internal: counters behind CountLiveObjects. A LiveToken member counts its owner while the
// owner exists (copies count too), so that every path that makes or frees the owner is counted.
#pragma once

namespace nrw {

enum class LiveKind { DataSet, Range, EventBinding, ProgressBox };

void AdjustLiveCount(LiveKind kind, int delta) noexcept;

template <LiveKind K>
class LiveToken {
 public:
  LiveToken() noexcept { AdjustLiveCount(K, 1); }
  LiveToken(const LiveToken&) noexcept { AdjustLiveCount(K, 1); }
  LiveToken& operator=(const LiveToken&) noexcept = default;
  ~LiveToken() { AdjustLiveCount(K, -1); }
};

}  // namespace nrw
