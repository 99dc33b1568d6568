// The current user's home folder and the suite's folders inside it.
#pragma once

#include <filesystem>
#include <optional>

namespace foundation {

// The home folder of the user this process runs as, from the user database (not $HOME, which
// a sandbox or sudo may have changed); $HOME only when the database has no usable entry.
// nullopt when neither gives an absolute path. Any thread but the render thread.
std::optional<std::filesystem::path> homeFolder();

// ~/Library/Audio/Presets/Orrinbrook/Quorvane, where the app keeps user presets. Only the path:
// nothing is created. Any thread but the render thread.
std::optional<std::filesystem::path> userPresetsFolder();

// ~/Library/Audio/Presets/Orrinbrook/Pallix/Catalogues, where users drop phrase catalogues.
// Only the path: nothing is created. Any thread but the render thread.
std::optional<std::filesystem::path> userCataloguesFolder();

} // namespace foundation
