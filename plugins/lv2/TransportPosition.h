// What one time:Position object told, and how it moves the transport a unit is shown.
#pragma once

#include "hosting/TransportFollower.h"

#include <cstdint>
#include <optional>

namespace plugins::lv2 {

// Field by field; a host may leave any out. Beats count the meter's beat unit, as LV2 defines
// them.
struct TransportPosition {
  std::optional<double> speed; // 0 stopped, 1 rolling
  std::optional<std::int64_t> bar;
  std::optional<double> barBeat;
  std::optional<double> beat; // since the timeline's start
  std::optional<int> beatUnit;
  std::optional<double> beatsPerBar;
  std::optional<double> beatsPerMinute;
  std::optional<std::int64_t> frame;
};

// The position holds from the next frame to be rendered. What it leaves out carries on from
// where the last one has got to; nonsense fields are ignored. Render thread; never allocates.
void follow(hosting::TransportFollower& follower, const TransportPosition& position) noexcept;

} // namespace plugins::lv2
