// What the plug-in sweeps use in every host: the rates, blocks and automation values a validator
// tries, audits of the samples and notes that come out, and a host to run an instance in.
#pragma once

#include "tests/support/Heard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <span>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

// One host set-up: the rate, the block the plug-in is prepared for and the block the host
// then runs (longer than prepared where the host allows it).
struct SweepCase {
  double rate;
  int prepared;
  int block;
};

inline std::ostream& operator<<(std::ostream& out, const SweepCase& c) {
  return out << c.rate << " Hz, prepared " << c.prepared << ", blocks of " << c.block;
}

// Every rate with a short and a long block, every block size at some rate, and blocks beyond
// the prepared size, rather than the whole cross product.
inline constexpr std::array<SweepCase, 14> kSweepCases{{
    {22050, 64, 64},
    {22050, 4096, 4096},
    {44100, 1, 1},
    {44100, 512, 512},
    {48000, 17, 17},
    {48000, 4096, 4096},
    {88200, 64, 64},
    {88200, 512, 512},
    {96000, 17, 17},
    {96000, 4096, 4096},
    {192000, 512, 512},
    {192000, 4096, 4096},
    {44100, 512, 4096},
    {192000, 64, 1000},
}};

// About this long at each rate: long enough for notes to start, change and end.
inline constexpr double kSweepSeconds = 0.3;

// The generator plays from its warm-up (1024 frames) on every beat and between: at 120 quarters
// a minute this holds two beats.
inline constexpr double kGeneratorSeconds = 1.0;

inline int framesOf(double seconds, double rate) { return static_cast<int>(seconds * rate); }

// The first sample of a render that a sound card could not take: non-finite, beyond full
// scale or subnormal (a sign of a tail the engine failed to flush, and slow on most CPUs).
class SampleAudit {
public:
  void add(std::span<const float> samples) {
    for (const float x : samples) {
      if (fault_.empty()) {
        const char* what = !std::isfinite(x)                    ? "non-finite"
                           : std::abs(x) > 1.0f                 ? "beyond full scale"
                           : x != 0.0f && std::abs(x) < FLT_MIN ? "subnormal"
                                                                : nullptr;
        if (what) {
          std::ostringstream text;
          text << what << " sample " << x << " at " << count_;
          fault_ = text.str();
        }
      }
      if (std::isfinite(x))
        peak_ = std::max(peak_, std::abs(x));
      ++count_;
    }
  }
  // Empty while every sample was fine.
  const std::string& fault() const noexcept { return fault_; }
  float peak() const noexcept { return peak_; }
  void restartPeak() noexcept { peak_ = 0.0f; }

private:
  std::string fault_;
  float peak_ = 0.0f;
  std::int64_t count_ = 0;
};

// The notes a MIDI stream has started and not yet ended, and anything in it a synthesiser
// would mishear: an end without a start, a note-on of velocity 0 (a note-off in disguise),
// data bytes above 127.
class NoteLedger {
public:
  void add(std::int64_t time, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
    const int kind = status & 0xF0;
    if (kind != 0x80 && kind != 0x90)
      return;
    if (data1 > 127 || data2 > 127)
      complain(time, "data byte above 127");
    const std::pair key{status & 0x0F, data1};
    if (kind == 0x90 && data2 == 0)
      complain(time, "note-on of velocity 0");
    if (kind == 0x90) {
      ++sounding_[key];
      ++started_;
    } else if (sounding_[key] == 0) {
      complain(time, "note-off without a note-on");
    } else {
      --sounding_[key];
    }
  }
  // Notes started and not ended, as "channel:note" words.
  std::string sounding() const {
    std::string text;
    for (const auto& [key, count] : sounding_)
      for (int i = 0; i < count; ++i)
        text += std::to_string(key.first + 1) + ":" + std::to_string(key.second) + " ";
    return text;
  }
  const std::string& problems() const noexcept { return problems_; }
  std::int64_t started() const noexcept { return started_; }

private:
  void complain(std::int64_t time, const char* what) {
    if (problems_.size() < 400)
      problems_ += std::string(what) + " at " + std::to_string(time) + "; ";
  }

  std::map<std::pair<int, int>, int> sounding_;
  std::int64_t started_ = 0;
  std::string problems_;
};

// Automation as a careless host or a hand-drawn lane sends it, normalised: the ends of the
// range, values between, a little beyond either end, and, where the path carries them,
// non-finite values, which the plug-ins must ignore.
class AutomationDice {
public:
  AutomationDice(std::uint32_t seed, bool nonFinite) : random_(seed), nonFinite_(nonFinite) {}

  float next() {
    constexpr float kEdges[] = {0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f, -0.25f, 1.5f};
    constexpr float kInf = std::numeric_limits<float>::infinity();
    const int roll = std::uniform_int_distribution<int>(0, 19)(random_);
    if (roll < 8)
      return kEdges[roll];
    if (roll == 8)
      return nonFinite_ ? std::numeric_limits<float>::quiet_NaN() : 0.5f;
    if (roll == 9)
      return nonFinite_ ? (coin() ? kInf : -kInf) : 0.25f;
    return std::uniform_real_distribution<float>(0.0f, 1.0f)(random_);
  }
  // Within the range, ends included: values the plug-in must keep exactly.
  float nextInRange() {
    const float value = next();
    return std::isfinite(value) ? std::clamp(value, 0.0f, 1.0f) : 0.0f;
  }
  bool coin() { return std::uniform_int_distribution<int>(0, 1)(random_) == 1; }
  int upTo(int n) { return std::uniform_int_distribution<int>(0, n)(random_); }

private:
  std::mt19937 random_;
  bool nonFinite_;
};

// An identifier or a display name, lower case without spaces: "Space Time" is "spacetime".
inline std::string squeezed(std::string name) {
  std::erase(name, ' ');
  for (char& c : name)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

// The synthesiser's parameters whose effect depends on more than the state: the drift walk and
// the reverb patterns are drawn per instance, the LFO runs from its own phase, the echo glides
// from the time it had to the time set. At 0 they have no effect. Takes a squeezed name.
inline bool dependsOnHistory(const std::string& name) {
  return name == "drift" || name == "space" || name == "motion" || name == "spacetime" ||
         name == "echo";
}

// A MIDI message a host sends or receives, at a frame counted from the first block.
// Program change and channel pressure have one data byte, every other channel message two.
inline int midiLength(std::uint8_t status) {
  const int kind = status & 0xF0;
  return kind == 0xC0 || kind == 0xD0 ? 2 : 3;
}

inline std::ostream& operator<<(std::ostream& out, const TimedMidi& m) {
  return out << m.time << ' ' << int(m.bytes[0]) << ' ' << int(m.bytes[1]) << ' '
             << int(m.bytes[2]);
}

// The same messages, later by frames.
inline std::vector<TimedMidi> delayed(std::vector<TimedMidi> messages, std::int64_t frames) {
  for (TimedMidi& m : messages)
    m.time += frames;
  return messages;
}

// A player on one channel every 20 ms or so: notes over the whole keyboard at any velocity,
// bends, pressure, the pedal, now and then all notes off or all sound off; at the end the
// pedal goes up and every note is released.
inline std::vector<TimedMidi> synthPerformance(double rate, int frames, AutomationDice& dice) {
  std::vector<TimedMidi> played;
  std::vector<std::uint8_t> down;
  const std::int64_t step = std::max<std::int64_t>(1, framesOf(0.02, rate));
  const auto byte = [&dice](int low, int high) {
    return static_cast<std::uint8_t>(low + dice.upTo(high - low));
  };
  for (std::int64_t t = 0; t + 1 < frames; t += step) {
    const int roll = dice.upTo(19);
    if (roll < 8 || down.empty()) {
      const std::uint8_t note = byte(12, 115);
      played.push_back({t, {0x90, note, byte(1, 127)}});
      down.push_back(note);
    } else if (roll < 12) {
      const auto which = static_cast<std::size_t>(dice.upTo(int(down.size()) - 1));
      played.push_back({t, {0x80, down[which], 64}});
      down.erase(down.begin() + std::ptrdiff_t(which));
    } else if (roll == 12) {
      played.push_back({t, {0xE0, byte(0, 127), byte(0, 127)}});
    } else if (roll == 13) {
      played.push_back({t, {0xD0, byte(0, 127), 0}});
    } else if (roll == 14) {
      played.push_back({t, {0xA0, down.back(), byte(0, 127)}});
    } else if (roll == 15) {
      played.push_back({t, {0xB0, 64, static_cast<std::uint8_t>(dice.coin() ? 127 : 0)}});
    } else if (roll == 16) {
      played.push_back({t, {0xB0, 123, 0}});
      down.clear();
    } else if (roll == 17) {
      played.push_back({t, {0xB0, 120, 0}});
      down.clear();
    }
  }
  played.push_back({frames - 1, {0xB0, 64, 0}});
  played.push_back({frames - 1, {0xB0, 123, 0}});
  return played;
}

// One plug-in instance run as a host runs it: blocks of any length, a transport at 120 quarters a
// minute in 4/4 whose position moves with the frames run while playing, MIDI in, automation by
// normalised value, and an audit of what comes out.
class SweepHost {
public:
  explicit SweepHost(double rate) : rate(rate) {}
  virtual ~SweepHost() = default;

  virtual std::size_t parameterCount() const = 0;
  // An identifier or a display name, whichever the host shows.
  virtual std::string parameterName(std::size_t index) const = 0;
  virtual void setParameter(std::size_t index, float normalised) = 0;
  virtual std::string saveState() = 0;
  virtual void restoreState(const std::string& state) = 0;
  // Where automation reaches the plug-in only with a block (LV2's control ports), runs one.
  virtual void deliverAutomation(int /*block*/) {}
  // What a host does between blocks: a reset short of deactivating (where HostCan::reset), off
  // and on again at a rate (another only where HostCan::changeRate), a factory program.
  virtual void reset() {}
  virtual void reactivate(double newRate, int block) = 0;
  virtual void chooseProgram(int index) = 0;

  // By name, whatever its case and spaces.
  void setParameter(std::string name, float normalised) {
    for (std::size_t i = 0; i < parameterCount(); ++i)
      if (squeezed(parameterName(i)) == squeezed(name))
        setParameter(i, normalised);
  }
  // Every parameter from the dice; with inRangeOnly, only values the plug-in keeps as they are,
  // and the synthesiser's parameters that depend on history at 0.
  void automate(AutomationDice& dice, bool inRangeOnly = false) {
    for (std::size_t i = 0; i < parameterCount(); ++i)
      setParameter(i, !inRangeOnly                                   ? dice.next()
                      : dependsOnHistory(squeezed(parameterName(i))) ? 0.0f
                                                                     : dice.nextInRange());
  }

  // One block with the messages of schedule (in time order) that fall in it.
  void run(int frames, std::span<const TimedMidi> schedule = {}) {
    const auto first =
        std::lower_bound(schedule.begin(), schedule.end(), now,
                         [](const TimedMidi& m, std::int64_t frame) { return m.time < frame; });
    auto last = first;
    while (last != schedule.end() && last->time < now + frames)
      ++last;
    render(frames, {first, last});
    now += frames;
    if (playing)
      position += frames;
  }
  // Blocks of blockSize until seconds have passed, automated before each when dice are given.
  void runFor(double seconds, int blockSize, std::span<const TimedMidi> schedule = {},
              AutomationDice* dice = nullptr, bool inRangeOnly = false) {
    const std::int64_t end = now + framesOf(seconds, rate);
    while (now < end) {
      if (dice)
        automate(*dice, inRangeOnly);
      run(static_cast<int>(std::min<std::int64_t>(blockSize, end - now)), schedule);
    }
  }
  // The loudest sample of the next seconds without any input.
  float peakOver(double seconds, int blockSize) {
    audit.restartPeak();
    runFor(seconds, blockSize);
    return audit.peak();
  }
  double quarters() const { return static_cast<double>(position) / (rate * 0.5); }

  double rate;
  std::int64_t now = 0, position = 0; // frames run, and the transport's position
  bool playing = false;
  SampleAudit audit;
  NoteLedger sent;
  std::vector<TimedMidi> received;
  bool recording = false;
  std::vector<float> recorded;

protected:
  // Renders one block, the messages due in it at frames counted from now; reports what comes
  // out through heard and emitted.
  virtual void render(int frames, std::span<const TimedMidi> due) = 0;
  void heard(std::span<const float> samples) {
    audit.add(samples);
    if (recording)
      recorded.insert(recorded.end(), samples.begin(), samples.end());
  }
  void emitted(std::int64_t time, std::array<std::uint8_t, 3> bytes) {
    sent.add(time, bytes[0], bytes[1], bytes[2]);
    received.push_back({time, bytes});
  }
};

// A fresh instance for a case, prepared as its host prepares it.
using HostFactory = std::function<std::unique_ptr<SweepHost>(const SweepCase&)>;

// Where hosts differ in what they can do to a plug-in.
struct HostCan {
  bool reset = false;      // reset without deactivating
  bool changeRate = false; // prepare again at another rate, same instance
  // Deactivating and activating again ends every sound.
  bool silenceByReactivating = false;
};

// One way of loading both plug-ins: what the sweeps run over.
struct PluginHost {
  std::string name; // a test name's suffix
  HostFactory synth, generator;
  HostCan can;
};

inline std::ostream& operator<<(std::ostream& out, const PluginHost& host) {
  return out << host.name;
}
