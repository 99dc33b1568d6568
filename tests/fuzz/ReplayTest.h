// Replays the inputs saved for each fuzz target through its entry function, in an ordinary
// build: the crashes fuzzing found, hand-made regression inputs, and the seeds.
#pragma once

#include "tests/fuzz/FuzzTargets.h"

#include <gtest/gtest.h>

#include <ostream>
#include <span>
#include <string_view>
#include <vector>

struct FuzzTarget {
  const char* name; // its folder under tests/data/fuzz and tests/fuzz/corpus
  fuzz::Verdict (*entry)(std::span<const std::uint8_t>);
  // Folders of the repository whose files are its seeds too, such as the shipped catalogues.
  std::vector<std::string_view> seedFolders;
};

inline void PrintTo(const FuzzTarget& target, std::ostream* out) { *out << target.name; }

class Replay : public testing::TestWithParam<FuzzTarget> {};

inline std::string fuzzTargetName(const testing::TestParamInfo<FuzzTarget>& info) {
  std::string name = info.param.name;
  for (char& c : name)
    if (c == '-')
      c = '_';
  return name;
}
