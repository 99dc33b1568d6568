// Tests of the Scala tunings: reading scales and keyboard maps, refusing bad ones at their line,
// and the frequency of each key against equal temperament and known ratios.
#include "QuorvaneAU/dsp/ScalaTuning.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

using namespace quorvane::dsp;

namespace {

template <class T> T ok(const TuningRead<T>& read) {
  if (const auto* problem = std::get_if<TuningProblem>(&read))
    ADD_FAILURE() << "line " << problem->line << ": " << problem->reason;
  return read.index() == 0 ? std::get<T>(read) : T{};
}

template <class T> void refused(const TuningRead<T>& read, int line, const std::string& reason) {
  const auto* problem = std::get_if<TuningProblem>(&read);
  ASSERT_NE(problem, nullptr) << reason;
  EXPECT_EQ(problem->line, line) << reason;
  EXPECT_EQ(problem->reason, reason);
}

// Hz of each key, 0 where unmapped.
std::array<double, 128> hz(const ScalaScale& scale, const KeyboardMap* map = nullptr) {
  std::array<double, 128> out{};
  const auto notes = ok(noteFrequencies(scale, map));
  for (int k = 0; k < 128; ++k)
    out[k] = notes.hz[k].value_or(0.0);
  return out;
}

// Equal steps of the period, the last written as its ratio.
ScalaScale equal(int steps, const char* ratio, double periodCents) {
  std::string text = "equal\n" + std::to_string(steps) + "\n";
  char cents[32];
  for (int k = 1; k < steps; ++k)
    text +=
        std::string(cents, std::snprintf(cents, sizeof cents, "%.12f\n", k * periodCents / steps));
  return ok(readScala(text + ratio + "\n"));
}

const std::string kMap = "12\n0\n127\n60\n69\n";

} // namespace

// A meantone scale as the format describes it: comments between lines, cents and ratios mixed,
// labels after pitches, an implied 1/1, text after the last pitch ignored; CR LF and a BOM too.
TEST(ScalaTuning, ReadsMixedCentsAndRatios) {
  const std::string text =
      "! meantone.scl\n!\n  Quarter-comma meantone  \n 12\n!\n76.04900\n"
      "193.15686 D\n310.26303\n5/4 major third\n503.42157\n579.47057\n!\n"
      "696.57843\n25/16\n889.73529\n1006.84314\n1082.89214\n2/1\nnot a pitch\n";
  const ScalaScale scale = ok(readScala(text));
  EXPECT_EQ(scale.description, "Quarter-comma meantone");
  ASSERT_EQ(scale.cents.size(), 12u);
  EXPECT_EQ(scale.cents[0], 76.049);
  EXPECT_NEAR(scale.cents[3], 1200 * std::log2(1.25), 1e-12);
  EXPECT_EQ(scale.cents[11], 1200.0);
  std::string crlf = "\xEF\xBB\xBF";
  for (char c : text)
    crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ(ok(readScala(crlf)).description, scale.description);
  EXPECT_EQ(ok(readScala(crlf)).cents, scale.cents);
  const ScalaScale forms = ok(readScala("\n4\n100.\n-5.0\n3\n+.5\n"));
  EXPECT_EQ(forms.description, "");
  EXPECT_EQ(forms.cents, (std::vector<double>{100.0, -5.0, 1200 * std::log2(3.0), 0.5}));
}

TEST(ScalaTuning, RefusesBadFilesAtTheirLine) {
  refused(readScala("! only\nname\n"), 0, "no count of pitches");
  refused(readScala("name\n12 notes\n"), 2, "the count of pitches is not a whole number");
  refused(readScala("name\n1025\n"), 2, "more than 1024 degrees");
  refused(readScala("name\n0\n"), 2, "a scale needs at least one degree");
  refused(readScala("name\n3\n100.0\n!\n2/1\n"), 2, "2 pitches, the count says 3");
  for (const char* pitch : {"", "1.2.3", "1e3", "3/", "-", "5.0c"})
    refused(readScala(std::string("n\n1\n") + pitch + "\n"), 3, "unreadable pitch");
  for (const char* pitch : {"0/1", "3/-2"})
    refused(readScala(std::string("n\n1\n") + pitch + "\n"), 3, "a ratio must be positive");
  refused(readScala("n\n1\n3/0\n"), 3, "a ratio cannot have 0 below");
  refused(readScala("n\n1\n1" + std::string(400, '0') + "\n"), 3,
          "the pitch is not a finite number");
  refused(readScala("n\n2\n100.0\n-5.0\n"), 4, "the period must be above 1/1");
  std::string big = "n\n1\n2/1\n";
  big += std::string(kMaxTuningFileBytes - big.size(), '!');
  ok(readScala(big));
  refused(readScala(big + "!"), 0, "larger than 1 MiB");

  refused(readKeyboardMap("1025\n"), 1, "the map size must be a whole number from 0 to 1024");
  refused(readKeyboardMap("12\n128\n"), 2, "the first note must be a whole number from 0 to 127");
  refused(readKeyboardMap("12\n61\n60\n"), 3, "the last note is below the first note");
  refused(readKeyboardMap(kMap), 0, "no reference frequency");
  for (const char* hz : {"0", "440Hz"})
    refused(readKeyboardMap(kMap + hz + "\n"), 6,
            "the reference frequency must be a positive number");
  refused(readKeyboardMap(kMap + "440.0\n-1\n"), 7,
          "the formal octave degree must be a whole number of 0 or more");
  for (const char* entry : {"y", "3000000000"})
    refused(readKeyboardMap(kMap + "440.0\n12\n0\n" + entry + "\n"), 9,
            "a mapping entry must be a scale degree or x");

  const auto unmappedA = ok(readKeyboardMap(kMap + "440.0\n12\n0\n1\n"));
  refused(noteFrequencies(equal(12, "2/1", 1200), &unmappedA), 0,
          "the reference note is not mapped");
  refused(noteFrequencies(ok(readScala("n\n1\n1000000.0\n")), nullptr), 0,
          "note 0's frequency is not a number");
  refused(noteFrequencies(ScalaScale{}, nullptr), 0, "a scale needs at least one degree");
}

// The oracle: 12 steps of 100 cents are 12-tone equal temperament on every key, without a map,
// and through A 432. Then 19 steps, and 13 of the 3/1 tritave.
TEST(ScalaTuning, EqualStepsOnEveryKey) {
  const ScalaScale et = equal(12, "2/1", 1200);
  const auto a432 = ok(readKeyboardMap(kMap + "432.0\n12\n0\n1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n"));
  const auto plain = hz(et), at432 = hz(et, &a432);
  for (int k = 0; k < 128; ++k) {
    EXPECT_NEAR(plain[k] / (440 * std::exp2((k - 69) / 12.0)), 1.0, 1e-9) << k;
    EXPECT_NEAR(at432[k] / (432 * std::exp2((k - 69) / 12.0)), 1.0, 1e-9) << k;
  }
  EXPECT_EQ(at432[69], 432.0);
  EXPECT_EQ(at432[81], 864.0);

  const auto steps19 = hz(equal(19, "2/1", 1200));
  for (int k = 1; k < 128; ++k)
    EXPECT_NEAR(steps19[k] / steps19[k - 1], std::exp2(1.0 / 19), 1e-9) << k;
  const auto tritave = hz(equal(13, "3/1", 1200 * std::log2(3.0)));
  EXPECT_NEAR(tritave[73] / tritave[60], 3.0, 1e-12);
  EXPECT_NEAR(tritave[60] / tritave[47], 3.0, 1e-12);
}

// Just major on the white keys from 60, A (69) at 440: black keys 'x', the last two entries
// (A#, B) missing, keys outside 10 ... 100 unmapped; below the middle note the map repeats
// octaves down. A linear map's reference sets the pitch even outside the keys retuned; a map of
// one key whose repeat is 2 degrees plays whole tones.
TEST(ScalaTuning, MapsDegreesAndLeavesKeysUnmapped) {
  const auto justMajor = ok(readScala("just\n7\n9/8\n5/4\n4/3\n3/2\n5/3\n15/8\n2/1\n"));
  const auto white = ok(readKeyboardMap("12\n10\n100\n60\n69\n440.0\n7\n\n"
                                        "0\nx\n1\nx\n2\n3\n! F\nx\n4\nx\n5\n\n"));
  const auto f = hz(justMajor, &white);
  const std::map<int, double> expected = {
      {60, 264.0}, {62, 297.0}, {69, 440.0}, {72, 528.0}, {96, 2112.0}, {100, 2640.0},
      {57, 220.0}, {50, 148.5}, {48, 132.0}, {12, 16.5},  {61, 0.0},    {70, 0.0},
      {71, 0.0},   {59, 0.0},   {47, 0.0},   {9, 0.0},    {101, 0.0}};
  for (const auto& [key, frequency] : expected)
    EXPECT_NEAR(f[key], frequency, 1e-9 * frequency) << key;

  const ScalaScale et = equal(12, "2/1", 1200);
  const auto upper = ok(readKeyboardMap("0\n72\n84\n60\n69\n440\n0\n"));
  EXPECT_EQ(hz(et, &upper)[81], 880.0);
  EXPECT_EQ(hz(et, &upper)[69], 0.0);
  const auto wholeTones = ok(readKeyboardMap("1\n0\n127\n60\n60\n440\n2\n0\n"));
  EXPECT_NEAR(hz(et, &wholeTones)[66], 880.0, 1e-9);
  EXPECT_NEAR(hz(et, &wholeTones)[54], 220.0, 1e-9);
}

// Every shipped tuning names itself on its first line, reads, and tunes every key, alone and
// through A 432.
TEST(ScalaTuning, ShippedTuningsRead) {
  std::map<std::string, std::string> texts;
  for (const auto& entry :
       std::filesystem::directory_iterator(ORRINBROOK_SOURCE_DIR "/QuorvaneAU/resources/tunings")) {
    std::stringstream text;
    text << std::ifstream(entry.path(), std::ios::binary).rdbuf();
    texts[entry.path().filename().string()] = text.str();
  }
  ASSERT_EQ(texts.size(), 6u);
  const KeyboardMap a432 = ok(readKeyboardMap(texts.at("A 432.kbm")));
  for (const auto& [name, text] : texts) {
    EXPECT_TRUE(text.starts_with("! " + name + "\n")) << name;
    if (name.ends_with(".kbm"))
      continue;
    const auto alone = hz(ok(readScala(text))), at432 = hz(ok(readScala(text)), &a432);
    for (int k = 0; k < 128; ++k)
      EXPECT_TRUE(alone[k] > 0 && at432[k] > 0 && std::isfinite(alone[k] + at432[k])) << name;
    EXPECT_EQ(at432[69], 432.0) << name;
  }
  EXPECT_NEAR(ok(readScala(texts.at("Bohlen-Pierce.scl"))).cents.back(), 1200 * std::log2(3.0),
              1e-12);
}
