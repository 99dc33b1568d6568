// Long runs that a short test cannot replace: the app's demo graph at 64-frame cycles, and each
// plug-in through the LV2 host with random automation and dense MIDI. Each run reports resident
// memory after its first minute and at its end, the worst block time against the block's
// duration, stuck notes and bad samples, and fails on growth, stuck notes or bad samples.
//
//   soak demo|quorvane|pallix SECONDS
#include "QuorvaneAU/dsp/QuorvaneParameters.h"
#include "app/host/HostController.h"
#include "app/host/InProcessUnits.h"
#include "app/host/MainThreadQueue.h"
#include "platform/audiounit/OfflineAudioOutput.h"
#include "tools/lv2-host/Lv2Host.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

namespace {

constexpr double kMemoryGrowthLimit = 2.0; // MB: allocator noise, not a leak

double residentMegabytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// What a soak watches, block by block.
class Watch {
public:
  Watch(std::string name, double sampleRate, std::uint32_t block)
      : name_(std::move(name)), blockSeconds_(block / sampleRate), sampleRate_(sampleRate) {}

  template <class Render> void block(std::int64_t framesDone, Render&& render) {
    const auto start = std::chrono::steady_clock::now();
    render();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    worst_ = std::max(worst_, took.count());
    if (!memoryAtOneMinute_ && framesDone >= std::int64_t(60 * sampleRate_))
      memoryAtOneMinute_ = residentMegabytes();
  }

  // Non-finite, beyond ±1 or subnormal.
  void samples(const std::vector<float>& channel) {
    for (float x : channel)
      badSamples_ += !(std::abs(x) <= 1.0f) || (x != 0.0f && std::abs(x) < 1.17549435e-38f);
  }

  int report(double seconds, long stuckNotes, const std::string& notes) const {
    const double atStart = memoryAtOneMinute_ ? *memoryAtOneMinute_ : residentMegabytes();
    const double atEnd = residentMegabytes();
    std::printf("%s: %.0f s of audio; resident %.1f MB after the first minute, %.1f MB at the end; "
                "worst block %.3f ms of %.3f ms (%.0f %%); stuck notes %ld%s; bad samples %ld\n",
                name_.c_str(), seconds, atStart, atEnd, worst_ * 1e3, blockSeconds_ * 1e3,
                100.0 * worst_ / blockSeconds_, stuckNotes, notes.c_str(), badSamples_);
    return atEnd - atStart > kMemoryGrowthLimit || stuckNotes != 0 || badSamples_ != 0;
  }

private:
  std::string name_;
  double blockSeconds_, sampleRate_;
  double worst_ = 0.0;
  std::optional<double> memoryAtOneMinute_;
  long badSamples_ = 0;
};

// Below this, a tail after every note has ended counts as silence.
constexpr float kSilence = 1e-4f;

float peakOf(const std::vector<float>& left, const std::vector<float>& right) {
  float peak = 0.0f;
  for (const auto* channel : {&left, &right})
    for (float x : *channel)
      peak = std::max(peak, std::abs(x));
  return peak;
}

// The app's graph as `quorvane --render --demo` builds it, at the cycle a small sound-card
// buffer gives; then the demo stops and the tail must fall silent.
int soakDemo(double seconds) {
  constexpr double kRate = 44100.0;
  constexpr AUAudioFrameCount kCycle = 64;
  auto output = std::make_shared<OfflineAudioOutput>(AudioFormat::standard(kRate, 2), kCycle);
  app::MainThreadQueue mainThread;
  std::ostringstream startup;
  const auto controller = app::HostController::create(
      output, [&mainThread](std::function<void()> task) { mainThread.post(std::move(task)); },
      startup);
  app::InProcessUnitOptions units;
  units.userCatalogues = false;
  units.synthesiserSeeds = {{1, 2, 3}};
  controller->registerInProcessUnits(units);
  mainThread.runUntil([&] { return controller->unitsSettled() == 2; });
  if (!controller->engine().isRunning()) {
    std::cerr << "soak: the synthesiser is not playing\n" << startup.str();
    return 1;
  }
  controller->togglePlay();

  Watch watch("demo (app graph, 64-frame cycles)", kRate, kCycle);
  std::vector<float> left(kCycle), right(kCycle);
  float* channels[2] = {left.data(), right.data()};
  const auto total = std::int64_t(seconds * kRate);
  for (std::int64_t done = 0; done < total; done += kCycle) {
    watch.block(done, [&] { output->render(channels, kCycle); });
    watch.samples(left), watch.samples(right);
  }
  controller->togglePlay();
  float tail = 0.0f;
  for (std::int64_t done = 0; done < std::int64_t(30 * kRate); done += kCycle) {
    output->render(channels, kCycle);
    tail = peakOf(left, right); // the last cycle's
  }
  return watch.report(seconds, tail > kSilence,
                      " (tail peak after stopping: " + std::to_string(tail) + ")");
}

struct RangedParameter {
  std::string identifier;
  float min, max;
};

// A random value of the parameter, its ends one time in four.
float randomValue(const RangedParameter& p, std::mt19937& random) {
  switch (random() % 8) {
  case 0:
    return p.min;
  case 1:
    return p.max;
  default:
    return std::uniform_real_distribution<float>(p.min, p.max)(random);
  }
}

Lv2World& world() {
  static Lv2World shared({QUORVANE_LV2_BUNDLE, PALLIX_LV2_BUNDLE});
  return shared;
}

// The synthesiser with a note starting or ending most blocks, bends, pedal and pressure, and a
// parameter moved every block; at the end every note off, sane settings, and a silent tail.
int soakQuorvane(double seconds) {
  constexpr double kRate = 48000.0;
  constexpr std::uint32_t kBlock = 128;
  std::vector<RangedParameter> parameters;
  for (const auto& row : quorvane::dsp::kQuorvaneParameters)
    parameters.push_back({std::string(row.identifier), row.min, row.max});
  Lv2Instance synth(world(), "https://orrinbrook.org/plugins/quorvane", kRate, 512);
  std::mt19937 random(7);
  std::set<std::uint8_t> held;
  Watch watch("quorvane (LV2, 128-frame blocks)", kRate, kBlock);
  const auto total = std::int64_t(seconds * kRate);
  for (std::int64_t done = 0; done < total; done += kBlock) {
    const auto& p = parameters[random() % parameters.size()];
    synth.setControl(p.identifier, randomValue(p, random));
    const auto frame = std::uint32_t(random() % kBlock);
    if (random() % 3 == 0 && !held.empty()) {
      auto it = held.begin();
      std::advance(it, random() % held.size());
      synth.addMidi(frame, {0x80, *it, 0});
      held.erase(it);
    } else if (held.size() < 24) {
      const auto note = std::uint8_t(24 + random() % 80);
      synth.addMidi(frame, {0x90, note, std::uint8_t(1 + random() % 127)});
      held.insert(note);
    }
    if (random() % 16 == 0)
      synth.addMidi(frame, {0xE0, 0, std::uint8_t(random() % 128)});
    if (random() % 64 == 0)
      synth.addMidi(frame, {0xB0, 64, std::uint8_t(random() % 2 * 127)});
    if (random() % 8 == 0)
      synth.addMidi(frame, {0xD0, std::uint8_t(random() % 128), 0});
    watch.block(done, [&] { synth.run(kBlock); });
    watch.samples(synth.output(0)), watch.samples(synth.output(1));
  }
  for (std::uint8_t note : held)
    synth.addMidi(0, {0x80, note, 0});
  synth.addMidi(0, {0xB0, 64, 0});
  for (const auto& [identifier, value] :
       {std::pair{"release", 0.25f}, {"echo", 0.0f}, {"space", 0.0f}})
    synth.setControl(identifier, value);
  float tail = 0.0f;
  for (std::int64_t done = 0; done < std::int64_t(30 * kRate); done += kBlock) {
    synth.run(kBlock);
    tail = peakOf(synth.output(0), synth.output(1));
  }
  return watch.report(seconds, tail > kSilence,
                      " (tail peak after every note-off: " + std::to_string(tail) + ")");
}

// The generator following a transport that rolls, stops, jumps and changes tempo, with a
// parameter moved every block; every message must be valid MIDI and every note must end.
int soakPallix(double seconds) {
  constexpr double kRate = 48000.0;
  constexpr std::uint32_t kBlock = 128;
  const std::vector<RangedParameter> parameters = {
      {"embroidery", 0, 1}, {"easiness", 0, 1},  {"etiquette", 0, 1}, {"exotica", 0, 1},
      {"emotion", 0, 1},    {"evolution", 0, 1}, {"rootNote", 0, 11}, {"mode", 0, 1}};
  Lv2Instance pallix(world(), "https://orrinbrook.org/plugins/pallix", kRate, 512);
  std::mt19937 random(11);
  std::set<std::pair<int, int>> sounding; // channel, note
  long invalid = 0;
  const auto complain = [&invalid](const Lv2MidiMessage& m, const char* what) {
    if (++invalid <= 5)
      std::fprintf(stderr, "pallix: %s at sample %lld: %02x %02x %02x\n", what,
                   static_cast<long long>(m.sampleTime), m.bytes[0], m.bytes[1], m.bytes[2]);
  };
  const auto hear = [&](const std::vector<Lv2MidiMessage>& sent) {
    for (const auto& m : sent) {
      const int kind = m.bytes[0] & 0xF0, channel = m.bytes[0] & 0x0F;
      if (!(m.bytes[0] & 0x80) || m.bytes[1] > 127 || m.bytes[2] > 127)
        complain(m, "invalid bytes");
      if (kind == 0x90 && m.bytes[2] > 0 && !sounding.insert({channel, m.bytes[1]}).second)
        complain(m, "a second note-on before the note-off");
      else if (kind == 0x80 || kind == 0x90)
        sounding.erase({channel, m.bytes[1]});
    }
  };
  double beat = 0.0, tempo = 120.0;
  bool rolling = true;
  Watch watch("pallix (LV2, 128-frame blocks)", kRate, kBlock);
  const auto total = std::int64_t(seconds * kRate);
  for (std::int64_t done = 0; done < total; done += kBlock) {
    if (random() % 4096 == 0)
      rolling = !rolling;
    if (random() % 8192 == 0)
      beat = std::floor(std::uniform_real_distribution<double>(0.0, 400.0)(random));
    if (random() % 8192 == 0)
      tempo = std::uniform_real_distribution<double>(40.0, 240.0)(random);
    pallix.addPosition(0, beat, tempo, rolling);
    const auto& p = parameters[random() % parameters.size()];
    pallix.setControl(p.identifier, randomValue(p, random));
    std::vector<Lv2MidiMessage> sent;
    watch.block(done, [&] { sent = pallix.run(kBlock); });
    hear(sent);
    if (rolling)
      beat += kBlock / kRate * tempo / 60.0;
  }
  pallix.addPosition(0, beat, tempo, false); // stopping ends every note
  hear(pallix.run(kBlock));
  return watch.report(seconds, long(sounding.size()),
                      invalid ? " (invalid messages: " + std::to_string(invalid) + ")" : "") |
         (invalid != 0);
}

} // namespace

int main(int argc, char** argv) {
  const std::string mode = argc == 3 ? argv[1] : "";
  const double seconds = argc == 3 ? std::atof(argv[2]) : 0.0;
  if (!(seconds > 0.0) || (mode != "demo" && mode != "quorvane" && mode != "pallix")) {
    std::cerr << "usage: soak demo|quorvane|pallix SECONDS\n";
    return 2;
  }
  return mode == "demo"       ? soakDemo(seconds)
         : mode == "quorvane" ? soakQuorvane(seconds)
                              : soakPallix(seconds);
}
