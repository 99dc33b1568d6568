// Parameter values as text: how both units' parameters read, what typed texts mean, and that
// what is shown reads back as itself.
#include "platform/foundation/ParameterText.h"

#include "PallixAU/engine/PallixParameters.h"
#include "QuorvaneAU/dsp/QuorvaneParameters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <vector>

using foundation::displayText, foundation::valueFromText, foundation::ParameterRow;
using foundation::ParameterUnit;

namespace {

using Q = quorvane::dsp::QuorvaneParameter;
using P = pallix::engine::PallixParameter;
const ParameterRow& row(Q p) { return quorvane::dsp::rowOf(p); }
const ParameterRow& row(P p) { return pallix::engine::rowOf(p); }

std::vector<const ParameterRow*> everyRow() {
  std::vector<const ParameterRow*> rows;
  for (const auto& r : quorvane::dsp::kQuorvaneParameters)
    rows.push_back(&r);
  for (const auto& r : pallix::engine::kPallixParameters)
    rows.push_back(&r);
  return rows;
}

// Wider than any table's, to reach both units of a reading.
constexpr ParameterRow kTime{0, "t", "", 0, 100, 0, ParameterUnit::seconds, {}, {}};
constexpr ParameterRow kPitch{0, "f", "", 0, 1e5f, 0, ParameterUnit::hertz, {}, {}};

// An exponential reading from 0 has no value at 0 … 1 to start from.
static_assert(!foundation::isSoundTable(
    std::array{ParameterRow{0, "f", "", 0, 1, 0, {}, {}, {}, 3, false, {{}, 0, 1}}}, true));

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
// The frequency row's value that reads as q hertz.
float cutoff(double hz) { return float(std::log(hz / 20) / std::log(1000.0)); }

void expectShown(const ParameterRow& r, std::vector<float> values, std::vector<const char*> texts) {
  ASSERT_EQ(values.size(), texts.size());
  for (std::size_t i = 0; i < values.size(); ++i)
    EXPECT_EQ(displayText(r, values[i]), texts[i]) << r.identifier << " " << values[i];
}

void expectRead(const ParameterRow& r, std::optional<float> value, std::vector<const char*> texts) {
  for (const char* text : texts)
    EXPECT_EQ(valueFromText(r, text), value) << r.identifier << " '" << text << "'";
}

} // namespace

TEST(ParameterText, ShowsValuesInTheirUnits) {
  expectShown(kTime, {0.001f, 0.005f, 0.0125f, 0.25f, 1.414f, 20, 0, -0.0f, 0.0005f, 1e9f},
              {"1.00 ms", "5.00 ms", "12.5 ms", "250 ms", "1.41 s", "20.0 s", "0.00 ms", "0.00 ms",
               "0.500 ms", "100 s"});
  // Rounding that reaches the next digit or unit reads in it.
  expectShown(kTime, {0.9996f, 0.0099996f, 0.00099996f}, {"1.00 s", "10.0 ms", "1.00 ms"});
  expectShown(kPitch, {0.1f, 1, 1.414f, 20, 632.5f, 2000, 20000, 999.96f, 99.996f},
              {"0.100 Hz", "1.00 Hz", "1.41 Hz", "20.0 Hz", "632 Hz", "2.00 kHz", "20.0 kHz",
               "1.00 kHz", "100 Hz"});
  expectShown(row(Q::frequency), {0.5f, cutoff(999.96), kNaN, 2, -1},
              {"632 Hz", "1.00 kHz", "20.0 Hz", "20.0 kHz", "20.0 Hz"});
  expectShown(row(Q::attack), {kNaN, kInf, -kInf}, {"1.00 ms", "20.0 s", "1.00 ms"});
  expectShown(row(Q::shape), {0.62f, -0.0f, 0.004f, kNaN}, {"0.62", "0.00", "0.00", "0.00"});
  // Stepped values truncate towards zero, as the kernels do.
  expectShown(row(Q::filterType), {1.9f, -0.5f, 7, kNaN, kInf}, {"BP", "LP", "HP", "LP", "LP"});
}

TEST(ParameterText, EveryParameterAtItsEndsAndDefault) {
  const struct {
    const char* identifiers;
    const char *min, *max, *initial;
  } expected[] = {
      {"shape", "0.00", "1.00", "0.50"},
      {"detuneSpread rowSpread motion spacetime resonance drift echo aftertouchDepth boost space",
       "0.00", "1.00", "0.00"},
      {"attack", "1.00 ms", "20.0 s", "5.00 ms"},
      {"decay", "1.00 ms", "20.0 s", "80.0 ms"},
      {"sustain", "0.00", "1.00", "0.40"},
      {"release", "1.00 ms", "20.0 s", "250 ms"},
      {"rate", "0.100 Hz", "20.0 Hz", "1.00 Hz"},
      {"drive", "1.00", "10.00", "1.00"},
      {"frequency", "20.0 Hz", "20.0 kHz", "20.0 kHz"},
      {"filterType", "LP", "HP", "LP"},
      {"filterRolloff", "12 dB", "24 dB", "12 dB"},
      {"echoTime", "0.00 ms", "1.00 s", "0.00 ms"},
      {"bendRange", "\u00b11 st", "\u00b124 st", "\u00b12 st"},
      {"embroidery easiness etiquette exotica emotion evolution", "0.00", "1.00", "0.50"},
      {"rootNote", "C", "B", "C"},
      {"mode", "Major", "Minor", "Major"},
  };
  std::size_t seen = 0;
  for (const auto& e : expected) {
    std::istringstream identifiers(e.identifiers);
    for (std::string identifier; identifiers >> identifier; ++seen)
      for (const ParameterRow* r : everyRow())
        if (r->identifier == identifier) {
          EXPECT_EQ(displayText(*r, r->min), e.min) << identifier;
          EXPECT_EQ(displayText(*r, r->max), e.max) << identifier;
          EXPECT_EQ(displayText(*r, r->defaultValue), e.initial) << identifier;
        }
  }
  EXPECT_EQ(seen, everyRow().size());
}

TEST(ParameterText, ReadsTypedTextsHeldToTheRange) {
  expectRead(row(Q::attack), 0.25f, {"250 ms", "250Ms", " 0.25 s\t", "0.25 SEC", "0.25", "+.25"});
  expectRead(row(Q::attack), 20, {"50 s", "1e300"});
  expectRead(row(Q::attack), 0.001f, {"0", "0.1 ms"});
  expectRead(row(Q::echoTime), 0, {"-5 ms"});
  expectRead(row(Q::rate), 1.5f, {"1.5 Hz", "1.5hz", "1.5"});
  expectRead(row(Q::frequency), cutoff(440), {"440", "440 Hz"});
  expectRead(row(Q::frequency), cutoff(2000), {"2k", "2 kHz", "2KHZ", "2000"});
  expectRead(row(Q::frequency), cutoff(2500), {"2.5k"});
  expectRead(row(Q::frequency), 1, {"40k"});
  expectRead(row(Q::frequency), 0, {"5", "0 Hz", "-5"});
  expectRead(row(Q::shape), 0.5f, {".5", "+0.5", "50%", "50 %"});
  expectRead(row(Q::shape), 0, {"-1"});
  expectRead(row(Q::shape), 1, {"150%"});
  expectRead(row(Q::drive), 2.5f, {"2.5"});
  // Names first: the rolloff's "12" is its first value, not twelve.
  expectRead(row(Q::filterRolloff), 0, {"12", "12 dB", "12db"});
  expectRead(row(Q::filterRolloff), 1, {"24", "24 DB", "1"});
  expectRead(row(Q::filterType), 0, {"lp", "-3"});
  expectRead(row(Q::filterType), 2, {"2", "7", "Hp"});
  expectRead(row(P::rootNote), 1, {"c#", "1"});
  expectRead(row(P::rootNote), 11, {"B"});
  expectRead(row(P::mode), 1, {"Minor", "1"});
}

TEST(ParameterText, RefusesWhatItCannotRead) {
  expectRead(row(Q::attack), std::nullopt, {"2 Hz", "3 dB", "2 m", "50%", "1 s s"});
  expectRead(row(Q::rate), std::nullopt, {"250 ms", "k", "2 kHz Hz"});
  expectRead(row(Q::frequency), std::nullopt, {"2 ms", "50%"});
  expectRead(row(Q::drive), std::nullopt, {"50%"});
  expectRead(row(Q::shape), std::nullopt,
             {"0.25x", "1e", "", " ", "nan", "-inf", "1e999", "++1", "+-1", "0,5", "0x1", "%"});
  expectRead(row(P::mode), std::nullopt, {"Lydian", "1.5", "Minor dB"});
  expectRead(row(Q::filterType), std::nullopt, {"2 dB"});
  expectRead(row(Q::filterRolloff), std::nullopt, {"2 dB", "dB", "24 dB dB"});
}

// Every row across its range, evenly and crowding towards its ends: the text read back shows
// itself, and is within the text's last digit of the value.
TEST(ParameterText, WhatIsShownReadsBackAsItself) {
  constexpr int kSteps = 10000;
  for (const ParameterRow* r : everyRow()) {
    const double span = double(r->max) - r->min;
    std::vector<float> values;
    for (int i = 0; i <= kSteps; ++i) {
      values.push_back(float(r->min + span * i / kSteps));
      values.push_back(float(r->min + span * std::pow(10.0, -7.0 * i / kSteps)));
      values.push_back(float(r->max - span * std::pow(10.0, -7.0 * i / kSteps)));
    }
    const auto& reading = r->reading;
    const bool timed = reading.unit == ParameterUnit::seconds || r->unit == ParameterUnit::seconds;
    for (float v : values) {
      const std::string text = displayText(*r, v);
      const std::optional<float> back = valueFromText(*r, text);
      ASSERT_TRUE(back) << r->identifier << " '" << text << "'";
      ASSERT_EQ(displayText(*r, *back), text) << r->identifier << " " << v;
      // Half the last digit: of three significant ones in a unit, of two decimals otherwise.
      double within = 0.005 * std::fabs(v) + (timed ? 5e-7 : 5e-4);
      if (!r->valueNames.empty())
        within = 0;
      else if (reading.high > reading.low)
        within = 0.005 / std::log(double(reading.high) / reading.low) + 1e-6;
      else if (r->unit == ParameterUnit::generic && reading.unit == ParameterUnit::generic)
        within = 0.005 + 1e-6;
      ASSERT_NEAR(*back, r->valueNames.empty() ? v : std::trunc(v), within)
          << r->identifier << " '" << text << "'";
    }
  }
}
