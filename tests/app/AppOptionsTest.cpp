// The app's command line: the window's device options and the screenshot's, beside --render.
#include "app/AppOptions.h"
#include "hosting/CommandLine.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

app::AppOptions parse(const std::string& line) {
  std::vector<std::string> words{"quorvane"};
  std::istringstream in(line);
  for (std::string word; in >> word;)
    words.push_back(word);
  std::vector<const char*> argv;
  for (const auto& word : words)
    argv.push_back(word.c_str());
  return app::parseAppOptions(int(argv.size()), argv.data());
}

TEST(AppOptionsTest, TheWindowsDeviceOptions) {
  const auto none = parse("");
  EXPECT_FALSE(none.render || none.screenshot || none.listDevices || none.audioDevice ||
               none.midiInput);
  const auto chosen = parse("--audio-device hw:1 --midi-input=none");
  EXPECT_EQ(chosen.audioDevice, "hw:1");
  EXPECT_EQ(chosen.midiInput, "none");
  EXPECT_EQ(parse("--midi-input all").midiInput, "all");
  EXPECT_TRUE(parse("--list-devices").listDevices);
}

TEST(AppOptionsTest, TheScreenshotsSizeAndPage) {
  const auto plain = parse("--screenshot w.png");
  EXPECT_EQ(plain.screenshot, "w.png");
  EXPECT_EQ(std::pair(plain.width, plain.height), std::pair(720, 612));
  EXPECT_FALSE(plain.helpPage);
  const auto sized = parse("--screenshot w.png --size 480x492 --help-page 8");
  EXPECT_EQ(std::pair(sized.width, sized.height), std::pair(480, 492));
  EXPECT_EQ(sized.helpPage, 8);
  EXPECT_EQ(parse("--size=8192x8192 --screenshot w.png").width, 8192);
}

TEST(AppOptionsTest, RefusedLines) {
  for (const char* line : {"--size 720x612", "--help-page 0", "--screenshot a.png --render b.wav",
                           "--screenshot a.png --list-devices", "--list-devices --audio-device x",
                           "--render b.wav --midi-input all", "--screenshot a.png --size 720by612",
                           "--screenshot a.png --size 720x", "--screenshot a.png --size 720x612x3",
                           "--screenshot a.png --size 0x0", "--screenshot a.png --help-page 9",
                           "--screenshot a.png --help-page one", "--midi-input",
                           "--audio-device=", "--screenshot a.png --seconds 3", "stray"})
    EXPECT_THROW(parse(line), hosting::UsageError) << line;
}

} // namespace
