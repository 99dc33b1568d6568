// The window's control messages: their exact bytes. Their way into the unit, and that nothing is
// sent before there is one, is the host view controller's test of its keys.
#include "app/host/ControlMidi.h"

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
      {"note-off", app::noteOffMessage(127), {0x80, 127, 0}},
      {"key pressure", app::polyPressureMessage(64, 127), {0xA0, 64, 127}},
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

} // namespace
