// Bar geometry from the host's time signature.
#include "PallixAU/engine/BarGeometry.h"

#include <algorithm>
#include <cmath>

namespace pallix::engine {

namespace {

// ceil(x) as an int within [1, kMaxPulses], whatever x is.
int pulseCount(double x) noexcept {
  const double c = std::ceil(x);
  if (!(c >= 1.0))
    return 1;
  return c >= BarGeometry::kMaxPulses ? BarGeometry::kMaxPulses : static_cast<int>(c);
}

} // namespace

BarGeometry BarGeometry::of(double beatsPerBar, long beatUnit) noexcept {
  BarGeometry g;
  g.quartersPerBar = beatsPerBar * 4.0 / static_cast<double>(beatUnit);
  const double whole = std::trunc(beatsPerBar);
  g.compound = beatUnit == 8 && whole >= 1.0 && std::fmod(whole, 3.0) == 0.0;
  g.pulseLength = g.compound ? 1.5 : 1.0;
  g.pulsesPerBar = pulseCount(g.quartersPerBar / g.pulseLength - 1e-9);
  g.firstHalfPulses = pulseCount((g.quartersPerBar * 0.5 - 1e-9) / g.pulseLength);
  g.wholePulse = std::abs(g.quartersPerBar - g.pulseLength * g.pulsesPerBar) < 1e-6;
  return g;
}

} // namespace pallix::engine
