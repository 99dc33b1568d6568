// The window's control messages: their exact bytes, and their way into the unit.
#include "app/host/ControlMidi.h"
#include "tests/support/HostRig.h"
#include "tests/support/TestUnit.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using app::ControlMessage;

struct MessageCase {
  const char* what;
  ControlMessage actual, expected;
};

TEST(ControlMidiTest, EachControlGivesItsThreeBytesOnChannelOne) {
  const std::vector<MessageCase> cases{
      {"note-on, always velocity 100", app::noteOnMessage(60), {0x90, 60, 100}},
      {"note-on, lowest", app::noteOnMessage(0), {0x90, 0, 100}},
      {"note-off", app::noteOffMessage(127), {0x80, 127, 0}},
      {"key pressure", app::polyPressureMessage(64, 127), {0xA0, 64, 127}},
      {"key pressure released", app::polyPressureMessage(64, 0), {0xA0, 64, 0}},
      {"bend centre", app::pitchBendMessage(8192), {0xE0, 0x00, 0x40}},
      {"bend bottom", app::pitchBendMessage(0), {0xE0, 0x00, 0x00}},
      {"bend top", app::pitchBendMessage(16383), {0xE0, 0x7F, 0x7F}},
      {"bend low byte first", app::pitchBendMessage(8193), {0xE0, 0x01, 0x40}},
      // Out-of-range arguments never reach the status byte.
      {"note past 127", app::noteOnMessage(128 + 5), {0x90, 5, 100}},
      {"bend past 14 bits", app::pitchBendMessage(16384), {0xE0, 0x00, 0x00}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.actual, c.expected) << c.what;
}

TEST(ControlMidiTest, MessagesReachTheUnitAtTheStartOfItsNextRender) {
  auto probe = std::make_shared<Probe>();
  auto unit = allocatedUnit(probe);
  ASSERT_TRUE(unit);
  app::sendControlMessage(unit.get(), app::noteOnMessage(60));
  app::sendControlMessage(unit.get(), app::pitchBendMessage(16383));
  HostRig render(*unit, 4096, false);
  ASSERT_EQ(render.at(1000, 256), noErr);
  ASSERT_EQ(probe->events.size(), 2u);
  const std::vector<std::array<std::uint8_t, 3>> expected{{0x90, 60, 100}, {0xE0, 0x7F, 0x7F}};
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(probe->events[i].type, AURenderEventMIDI);
    EXPECT_EQ(probe->events[i].time, 1000); // immediate: the first frame of the call
    EXPECT_EQ(std::to_array(probe->events[i].bytes), expected[i]);
  }
}

TEST(ControlMidiTest, NothingIsSentWithoutAUnit) {
  app::sendControlMessage(nullptr, app::noteOnMessage(60)); // no crash, nothing to send to
}

} // namespace
