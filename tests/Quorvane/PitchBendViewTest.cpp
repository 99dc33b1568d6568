// The pitch-bend strip: bend values, repeats suppressed, the spring-back series and layout.
#include "Quorvane/window/PitchBendView.h"
#include "tests/support/GoldenFile.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

using app::PitchBendView;

namespace {

struct RecordedStrip {
  RecordedStrip() {
    strip.setSize(26, 200);
    strip.onPitchBend = [this](int bend) { sent.push_back(bend); };
  }
  std::vector<int> take() { return std::exchange(sent, {}); }
  PitchBendView strip;
  std::vector<int> sent;
};

} // namespace

TEST(PitchBend, DragsSendEachNewValueOnce) {
  RecordedStrip s;
  s.strip.pressAt(100);
  s.strip.dragTo(99.995); // less than one step
  s.strip.dragTo(-50);
  s.strip.dragTo(-500); // above the top: still 16383, not sent again
  s.strip.dragTo(1000);
  s.strip.dragTo(201);
  EXPECT_EQ(s.take(), (std::vector<int>{8192, 16383, 0}));
  EXPECT_EQ(s.strip.dividerY(), 200);
}

TEST(PitchBend, APressDuringTheSpringBackStopsIt) {
  RecordedStrip s;
  s.strip.pressAt(0);
  s.strip.release();
  s.strip.tick();
  s.strip.pressAt(150);
  EXPECT_FALSE(s.strip.isSpringingBack());
  EXPECT_TRUE(s.strip.isInteracting());
  EXPECT_EQ(s.take(), (std::vector<int>{16383, 14909, 4096}));
  s.strip.release();
  s.strip.release(); // not interacting: nothing
  EXPECT_FALSE(s.strip.isInteracting());
}

TEST(PitchBend, LayoutCentresTheDividerOnlyAtRest) {
  RecordedStrip s;
  EXPECT_EQ(s.strip.dividerY(), 100);
  s.strip.setSize(26, 300); // resting: re-centred, nothing sent
  EXPECT_EQ(s.strip.dividerY(), 150);
  s.strip.pressAt(40);
  s.strip.setSize(26, 320); // dragging: stays
  EXPECT_EQ(s.strip.dividerY(), 40);
  s.strip.release();
  s.strip.setSize(26, 340); // springing back: stays
  EXPECT_EQ(s.strip.dividerY(), 40);
  EXPECT_EQ(s.take().size(), 1u);
  s.strip.dragTo(10); // no longer interacting: nothing
  EXPECT_TRUE(s.take().empty());
}

TEST(PitchBend, AnEmptyStripSendsNothing) {
  PitchBendView strip;
  int calls = 0;
  strip.onPitchBend = [&](int) { ++calls; };
  strip.pressAt(10);
  strip.release();
  for (int i = 0; i < 40; ++i)
    strip.tick();
  EXPECT_EQ(calls, 0);
}

// Rewritten with ORRINBROOK_UPDATE_GOLDEN=1 (tests/support/GoldenFile.h) after a change made on
// purpose. Bends of divider positions in a strip 200 high, and what a release from above the top
// sends tick by tick until it rests in the middle.
TEST(PitchBend, BendsAndSpringBackAsRecorded) {
  std::ostringstream out;
  for (double y : {-5.0, 0.0, 18.0, 99.99, 100.0, 100.01, 150.0, 199.99, 200.0, 250.0})
    out << "divider " << y << ": " << PitchBendView::bendValue(y, 200) << "\n";
  RecordedStrip s;
  s.strip.pressAt(-20);
  s.strip.release();
  int ticks = 0;
  for (; s.strip.isSpringingBack() && ticks < 100; ++ticks)
    s.strip.tick();
  out << "spring-back from the top in " << ticks << " ticks to " << s.strip.dividerY() << ":";
  for (int bend : s.sent)
    out << " " << bend;
  out << "\n";
  golden::expectSection("pitch-bend", out.str());
}
