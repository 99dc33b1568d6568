// Whole-file reads, atomic replacement and folder listings, each reporting why it failed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace foundation {

// The whole content of a regular file of at most maxBytes bytes. Anything else (a folder, a
// pipe or device, which could block or never end, a larger file, an I/O error) gives nullopt
// and, when error is given, a description such as "No such file or directory". Any thread but
// the render thread.
std::optional<std::vector<std::uint8_t>> readWholeFile(const std::filesystem::path& file,
                                                       std::size_t maxBytes,
                                                       std::string* error = nullptr);

// Replaces file with bytes so that readers see the old content or the new, never a mix: the
// bytes go to a hidden temporary file in the same folder, which is flushed to disk and renamed
// over file. The folder must exist. On failure the old file is untouched, the temporary file
// is removed, false is returned and error (when given) says why. Any thread but the render
// thread; concurrent writers of the same file leave one complete version.
bool writeFileAtomically(const std::filesystem::path& file, std::span<const std::uint8_t> bytes,
                         std::string* error = nullptr);
bool writeFileAtomically(const std::filesystem::path& file, std::string_view text,
                         std::string* error = nullptr);

// The entries of folder (files, folders, anything), without descending, skipping hidden ones
// (names that start with '.'), sorted by name byte by byte. nullopt when the folder cannot be
// listed, with error (when given) saying why. Any thread but the render thread.
std::optional<std::vector<std::filesystem::path>> listFolder(const std::filesystem::path& folder,
                                                             std::string* error = nullptr);

} // namespace foundation
