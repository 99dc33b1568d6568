// The synthesiser editor's tapers and their inverses.
#include "QuorvaneAU/editor/KnobTaper.h"
#include "QuorvaneAU/editor/QuorvaneKnobs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace quorvane::editor;

TEST(KnobTaper, PositionsMapOntoTheParameterRanges) {
  struct Case {
    AUParameterAddress address;
    float position;
    float value;
  };
  const Case cases[] = {
      {3, 0.5f, 0.14142136f}, // attack at its middle: 0.001 * sqrt(20000)
      {3, 0.0f, 0.001f},      {3, 1.0f, 20.0f},
      {4, 1.0f, 20.0f},       {6, 0.0f, 0.001f},
      {7, 0.0f, 0.1f},        {7, 1.0f, 20.0f},
      {7, 0.5f, 1.4142136f},  {10, 0.0f, 1.0f},
      {10, 1.0f, 10.0f},      {10, 0.5f, 3.1622777f},
      {3, -1.0f, 0.001f},     {3, 2.0f, 20.0f}, // the curved tapers clamp the position
      {0, 0.3f, 0.3f},        {11, 1.5f, 1.5f}, // the linear one does not
      {99, 0.7f, 0.7f},                         // unknown addresses are linear
  };
  for (const Case& c : cases)
    EXPECT_NEAR(valueOfPosition(c.address, c.position), c.value, c.value * 1e-5f)
        << "address " << c.address << " at " << c.position;
}

TEST(KnobTaper, ValuesMapBackToPositions) {
  struct Case {
    AUParameterAddress address;
    float value;
    float position;
  };
  const Case cases[] = {
      {6, 25.0f, 1.0f}, // release automated past its range: the end stop
      {6, 20.5f, 1.0f}, {6, 0.0f, 0.0f},  {6, -4.0f, 0.0f}, // below the range: 0
      {7, 30.0f, 1.0f}, {7, 0.05f, 0.0f}, {10, 11.0f, 1.0f},
      {10, 0.5f, 0.0f}, {5, 0.4f, 0.4f},  {5, 3.0f, 3.0f}, // linear: unchanged, the knob clamps
  };
  for (const Case& c : cases)
    EXPECT_NEAR(positionOfValue(c.address, c.value), c.position, 1e-6f)
        << "address " << c.address << " at " << c.value;
  EXPECT_TRUE(std::isnan(positionOfValue(3, std::numeric_limits<float>::quiet_NaN())));
}

// A fresh editor's knobs at their reset positions: see the editor's own tests.
TEST(KnobTaper, EveryKnobRoundTrips) {
  for (const KnobEntry& entry : kKnobTable)
    for (float x : {0.0f, 0.1f, 0.37f, 0.5f, 0.99f, 1.0f})
      EXPECT_NEAR(positionOfValue(entry.address, valueOfPosition(entry.address, x)), x, 2e-6f)
          << entry.underlay;
}
