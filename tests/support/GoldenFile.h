// The view tests' golden file: frames written as text by today's code, kept in
// tests/data/views/layouts.txt, one section per area, and compared line by line.
#pragma once

#include <gtest/gtest.h>
#include <juce_graphics/juce_graphics.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

namespace golden {

// A number as the file holds it: seven significant digits for floats (a formula's change shows,
// float noise does not), ten for doubles.
inline std::string number(double value, bool isFloat = false) {
  char text[32];
  std::snprintf(text, sizeof text, isFloat ? "%.7g" : "%.10g", value == 0 ? 0.0 : value);
  return text;
}

inline std::string frame(double x, double y, double width, double height, bool isFloat = false) {
  return number(x, isFloat) + " " + number(y, isFloat) + " " + number(width, isFloat) + " " +
         number(height, isFloat);
}
template <typename T> std::string frame(const juce::Rectangle<T>& r) {
  return frame(r.getX(), r.getY(), r.getWidth(), r.getHeight(), std::is_same_v<T, float>);
}

// Sections open with a line "[name]"; no other line starts with '['.
using Sections = std::vector<std::pair<std::string, std::vector<std::string>>>;

inline std::vector<std::string> linesOf(std::istream& in) {
  std::vector<std::string> out;
  for (std::string line; std::getline(in, line);)
    out.push_back(line);
  return out;
}

inline Sections read(const std::filesystem::path& path) {
  Sections sections;
  std::ifstream file(path);
  for (const auto& line : linesOf(file)) {
    if (!line.empty() && line.front() == '[')
      sections.push_back({line.substr(1, line.size() - 2), {}});
    else if (!sections.empty() && !line.empty())
      sections.back().second.push_back(line);
  }
  return sections;
}

// Compares what a test wrote with its section, reporting the first lines that differ. With
// ORRINBROOK_UPDATE_GOLDEN=1 in the environment the section is written instead: do so after a
// change of layout made on purpose, one test binary at a time (not under ctest -j), and read
// the file's diff before committing it.
inline void expectSection(const std::string& name, const std::string& text) {
  const auto path = std::filesystem::path(ORRINBROOK_SOURCE_DIR) / "tests/data/views/layouts.txt";
  std::istringstream in(text);
  const auto actual = linesOf(in);
  auto sections = read(path);
  auto section = std::find_if(sections.begin(), sections.end(),
                              [&](const auto& s) { return s.first == name; });
  if (const char* update = std::getenv("ORRINBROOK_UPDATE_GOLDEN"); update && *update == '1') {
    if (section == sections.end())
      section = sections.insert(sections.end(), {name, {}});
    section->second = actual;
    std::ofstream out(path);
    for (const auto& [title, lines] : sections) {
      out << (&title == &sections.front().first ? "" : "\n") << '[' << title << "]\n";
      for (const auto& line : lines)
        out << line << '\n';
    }
    return;
  }
  ASSERT_NE(section, sections.end()) << "no section [" << name << "] in " << path;
  const auto& expected = section->second;
  int shown = 0;
  for (std::size_t i = 0; i < std::max(expected.size(), actual.size()) && shown < 10; ++i) {
    const std::string want = i < expected.size() ? expected[i] : "(none)";
    const std::string got = i < actual.size() ? actual[i] : "(none)";
    if (want != got && ++shown)
      ADD_FAILURE() << "[" << name << "] line " << i + 1 << "\n  file: " << want
                    << "\n  code: " << got;
  }
}

} // namespace golden
