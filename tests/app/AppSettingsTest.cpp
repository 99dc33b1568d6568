// The settings file: what is written is read back, and a broken file only loses what it held.
#include "app/host/AppSettings.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

using app::AppSettings;

class AppSettingsTest : public ::testing::Test {
protected:
  std::filesystem::path file() const { return folder.path / "Orrinbrook" / "Quorvane.settings"; }
  void writeRaw(const std::string& text) const {
    std::filesystem::create_directories(file().parent_path());
    std::ofstream(file(), std::ios::binary) << text;
  }
  TemporaryFolder folder{"quorvane-settings"};
};

TEST_F(AppSettingsTest, WhatIsWrittenIsReadBackIntoAFolderItCreates) {
  AppSettings settings;
  settings.hasShownHelp = true;
  settings.audioDeviceType = "JACK";
  settings.audioDeviceName = "system";
  settings.midiInput = "Keystation 49: MIDI 1";
  settings.windowWidth = 900;
  settings.windowHeight = 700;
  std::string error;
  ASSERT_TRUE(settings.write(file(), &error)) << error;
  EXPECT_EQ(AppSettings::read(file()), settings);
  EXPECT_EQ(AppSettings::read(folder.path / "missing.settings"), AppSettings{});
  // Empty fields stay empty, and a second write replaces the first whole.
  ASSERT_TRUE(AppSettings{}.write(file()));
  EXPECT_EQ(AppSettings::read(file()), AppSettings{});
}

std::string plist(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">" + body + "</plist>";
}

TEST_F(AppSettingsTest, MalformedFilesAndWrongKindsAreIgnored) {
  struct Case {
    const char* what;
    std::string text;
    AppSettings expected;
  };
  AppSettings onlyHelp;
  onlyHelp.hasShownHelp = true;
  const std::vector<Case> cases{
      {"not a property list", "garbage\n", {}},
      {"an array at the root", plist("<array><true/></array>"), {}},
      {"empty", "", {}},
      {"wrong kinds",
       plist("<dict><key>QuorvaneHasShownHelpMac</key><string>yes</string>"
             "<key>AudioDeviceName</key><integer>3</integer>"
             "<key>WindowWidth</key><string>900</string></dict>"),
       {}},
      {"sizes out of range",
       plist("<dict><key>QuorvaneHasShownHelpMac</key><true/><key>WindowWidth</key>"
             "<integer>-720</integer><key>WindowHeight</key><integer>99999999</integer></dict>"),
       onlyHelp},
  };
  for (const auto& c : cases) {
    writeRaw(c.text);
    EXPECT_EQ(AppSettings::read(file()), c.expected) << c.what;
  }
}

TEST_F(AppSettingsTest, AWriteThatCannotHappenSaysWhyAndLeavesNothing) {
  writeRaw("x");
  // A file where the folder should be.
  const auto blocked = file() / "Quorvane.settings";
  std::string error;
  EXPECT_FALSE(AppSettings{}.write(blocked, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(std::filesystem::exists(blocked));
}

} // namespace
