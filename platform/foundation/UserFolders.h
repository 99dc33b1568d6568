// The current user's home folder and the suite's folders for data and settings, by the XDG rules.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace foundation {

// The home folder of the user this process runs as, from the user database (not $HOME, which
// a sandbox or sudo may have changed); $HOME only when the database has no usable entry.
// nullopt when neither gives an absolute path. Any thread but the render thread.
std::optional<std::filesystem::path> homeFolder();

// The base folders of the XDG Base Directory rules: the variable's value when it is an absolute
// path; otherwise (unset, empty or relative, which the rules say to ignore) the fallback below
// the home folder. nullopt when neither is usable. Pure, for any environment and home.
std::optional<std::filesystem::path> xdgBaseFolder(const char* variableValue,
                                                   const std::optional<std::filesystem::path>& home,
                                                   const std::filesystem::path& fallback);
// $XDG_DATA_HOME, else ~/.local/share. Any thread but the render thread.
std::optional<std::filesystem::path> dataHomeFolder();
// $XDG_CONFIG_HOME, else ~/.config. Any thread but the render thread.
std::optional<std::filesystem::path> configHomeFolder();

// <data home>/Orrinbrook/<unit>/Presets, where the app and the plug-ins keep a unit's user
// presets ("Quorvane", "Pallix"). Only the path: nothing is created. Any thread but the render
// thread.
std::optional<std::filesystem::path> userPresetsFolder(std::string_view unit = "Quorvane");

// <data home>/Orrinbrook/Pallix/Catalogues, where users drop phrase catalogues. Only the path:
// nothing is created. Any thread but the render thread.
std::optional<std::filesystem::path> userCataloguesFolder();

// <config home>/Orrinbrook/Quorvane.settings, the app's settings file. Only the path: nothing
// is created. Any thread but the render thread.
std::optional<std::filesystem::path> appSettingsFile();

} // namespace foundation
