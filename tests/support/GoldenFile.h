// The view tests' golden file: frames and series written as text by today's code, kept in
// tests/data/views/layouts.txt, a section per area, and compared line by line.
#pragma once

#include <gtest/gtest.h>
#include <juce_graphics/juce_graphics.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace golden {

// Seven significant digits for floats (a formula's change shows, float noise does not), ten
// for doubles.
inline std::string number(double value, bool isFloat = false) {
  char text[32];
  std::snprintf(text, sizeof text, isFloat ? "%.7g" : "%.10g", value == 0 ? 0.0 : value);
  return text;
}

template <typename T> std::string frame(const juce::Rectangle<T>& r) {
  constexpr bool isFloat = std::is_same_v<T, float>;
  return number(r.getX(), isFloat) + " " + number(r.getY(), isFloat) + " " +
         number(r.getWidth(), isFloat) + " " + number(r.getHeight(), isFloat);
}

// Compares a test's text with its section, a line "[name]" and the lines up to the next such
// line, and reports the first line that differs. With ORRINBROOK_UPDATE_GOLDEN=1 in the
// environment the section is written instead: do so after a change made on purpose, one test
// binary at a time (not under ctest -j), and read the file's diff before committing it.
inline void expectSection(const std::string& name, const std::string& text) {
  const std::string path = ORRINBROOK_SOURCE_DIR "/tests/data/views/layouts.txt";
  // Names and lines; the first, unnamed, holds the file's opening comment.
  std::vector<std::pair<std::string, std::string>> sections{{"", ""}};
  std::ifstream file(path);
  for (std::string line; std::getline(file, line);)
    if (line.starts_with('['))
      sections.emplace_back(line.substr(1, line.size() - 2), "");
    else if (!line.empty())
      sections.back().second += line + "\n";
  auto section = std::find_if(sections.begin(), sections.end(),
                              [&](const auto& s) { return s.first == name; });
  if (const char* update = std::getenv("ORRINBROOK_UPDATE_GOLDEN"); update && *update == '1') {
    if (section == sections.end())
      section = sections.insert(sections.end(), {name, ""});
    section->second = text;
    std::ofstream out(path);
    out << sections.front().second;
    for (auto s = sections.begin() + 1; s != sections.end(); ++s)
      out << "\n[" << s->first << "]\n" << s->second;
    return;
  }
  ASSERT_NE(section, sections.end()) << "no section [" << name << "] in " << path;
  std::istringstream expected(section->second), actual(text);
  for (int line = 1;; ++line) {
    std::string want, got;
    const bool more = static_cast<bool>(std::getline(expected, want));
    if (!std::getline(actual, got) && !more)
      return;
    if (want != got) {
      ADD_FAILURE() << "[" << name << "] line " << line << "\n  file: " << want
                    << "\n  code: " << got;
      return;
    }
  }
}

} // namespace golden
