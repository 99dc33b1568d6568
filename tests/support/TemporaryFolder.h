// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes; and writing a file there, folders and all.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

struct TemporaryFolder {
  explicit TemporaryFolder(const std::string& prefix)
      : path([&] {
          std::string pattern = std::filesystem::temp_directory_path() / (prefix + "-XXXXXX");
          return ::mkdtemp(pattern.data()) ? pattern
                                           : throw std::runtime_error("no temporary folder");
        }()) {}
  ~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::filesystem::path path;
};

inline void writeFile(const std::filesystem::path& file, std::string_view content = "x") {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << content;
}
