// The suite's folders below the XDG base folders: absolute variables win, anything else falls
// back to the home folder.
#include "platform/foundation/UserFolders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace fs = std::filesystem;
using foundation::xdgBaseFolder;

namespace {

// Sets (or, with nullopt, unsets) an environment variable for the life of the object.
class ScopedEnvironment {
public:
  ScopedEnvironment(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name))
      old_ = old;
    value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
  }
  ~ScopedEnvironment() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
  const char* name_;
  std::optional<std::string> old_;
};

} // namespace

TEST(UserFolders, BaseFolderRules) {
  const fs::path home = "/home/ada";
  struct Case {
    const char* value;
    std::optional<fs::path> home;
    std::optional<fs::path> expected;
  };
  const Case cases[] = {
      {"/srv/data", home, fs::path("/srv/data")},
      {"/srv/data", std::nullopt, fs::path("/srv/data")},
      {nullptr, home, home / ".local/share"},
      {"", home, home / ".local/share"},       // empty: ignored
      {"data", home, home / ".local/share"},   // relative: ignored
      {"~/data", home, home / ".local/share"}, // no shell expansion either
      {nullptr, std::nullopt, std::nullopt},
      {"relative", std::nullopt, std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(xdgBaseFolder(c.value, c.home, ".local/share"), c.expected)
        << (c.value ? c.value : "(unset)");
}

TEST(UserFolders, PresetsCataloguesAndSettingsFollowTheEnvironment) {
  const auto home = foundation::homeFolder();
  ASSERT_TRUE(home);
  struct Case {
    std::optional<std::string> dataHome, configHome;
    fs::path data, config;
  };
  const Case cases[] = {
      {"/x/data", "/x/config", "/x/data", "/x/config"},
      {std::nullopt, std::nullopt, *home / ".local/share", *home / ".config"},
  };
  for (const Case& c : cases) {
    ScopedEnvironment data("XDG_DATA_HOME", c.dataHome);
    ScopedEnvironment config("XDG_CONFIG_HOME", c.configHome);
    SCOPED_TRACE(c.data.string());
    EXPECT_EQ(foundation::userPresetsFolder(), c.data / "Orrinbrook/Quorvane/Presets");
    EXPECT_EQ(foundation::userPresetsFolder("Pallix"), c.data / "Orrinbrook/Pallix/Presets");
    EXPECT_EQ(foundation::userCataloguesFolder(), c.data / "Orrinbrook/Pallix/Catalogues");
    EXPECT_EQ(foundation::appSettingsFile(), c.config / "Orrinbrook/Quorvane.settings");
  }
}
